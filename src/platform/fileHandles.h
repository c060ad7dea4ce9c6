#pragma once

#include <dirent.h>
#include <memory>
#include <unistd.h>
#include <utility>

// Owning handles for the C library's file descriptors and folder listings.

// A file descriptor, closed when its owner ends; -1 holds none.
class TuniqueFd {
public:
    TuniqueFd() = default;
    explicit TuniqueFd(int fd)
        : m_fd(fd)
    {
    }
    TuniqueFd(TuniqueFd &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    TuniqueFd &operator=(TuniqueFd &&other) noexcept
    {
        Reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    ~TuniqueFd() { Reset(); }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    // Gives the descriptor up to a new owner (fdopendir).
    int Release() { return std::exchange(m_fd, -1); }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0 && m_fd != fd)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;
