// Writes the seed corpora of the party fuzzers: requests as the guests'
// page sends them, and a few that the guard refuses.
//   party_seeds GUARD_DIR API_DIR
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

bool write(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: party_seeds GUARD_DIR API_DIR\n");
        return 2;
    }
    const QString guard = QString::fromLocal8Bit(argv[1]);
    const QString api = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(guard);
    QDir().mkpath(api);
    // The guard's seeds begin with the byte that chooses the piece size.
    const QByteArray get
        = "GET /api/search?q=abba HTTP/1.1\r\nHost: 10.0.0.2:8080\r\nCookie: vorlen_code=K7M2QX\r\n\r\n";
    const QByteArray post = "POST /api/request HTTP/1.1\r\nHost: 10.0.0.2:8080\r\nContent-Type: application/json\r\n"
                            "Content-Length: 30\r\n\r\n{\"track\": \"00ff00ff00ff00ff\"}\n";
    const QByteArray upgrade
        = "GET /api/live HTTP/1.1\r\nHost: h\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
          "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n\x81\x05hello";
    const QByteArray chunked = "POST /api/join HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n";
    const QByteArray huge = "POST /api/join HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n";
    bool ok = write(guard, QStringLiteral("get"), '\x03' + get) && write(guard, QStringLiteral("post"), '\x07' + post)
        && write(guard, QStringLiteral("pipelined"), '\x00' + get + post + get)
        && write(guard, QStringLiteral("upgrade"), '\x01' + upgrade)
        && write(guard, QStringLiteral("chunked"), '\x02' + chunked)
        && write(guard, QStringLiteral("huge"), '\x05' + huge)
        && write(guard, QStringLiteral("lf-only"), '\x04' + QByteArray("GET / HTTP/1.0\nHost: x\n\n"));

    ok = ok && write(api, QStringLiteral("join"), "POST\n/api/join\n\napplication/json\n{\"name\": \"Anna\"}")
        && write(api, QStringLiteral("request"),
            "POST\n/api/request\n\napplication/json; charset=utf-8\n{\"track\":\"0123456789abcdef\"}")
        && write(api, QStringLiteral("search"), "GET\n/api/search\nq=%C3%A9t%C3%A9&limit=10\n\n")
        && write(api, QStringLiteral("artists"), "GET\n/api/artists\noffset=200&count=50\n\n")
        && write(api, QStringLiteral("cover"), "GET\n/api/cover\ntrack=00000000000000ff&size=150\n\n")
        && write(api, QStringLiteral("vote"), "POST\n/api/vote\n\napplication/json\n{}")
        && write(api, QStringLiteral("tracks"), "GET\n/api/tracks\nalbum=abc\n\n");
    return ok ? 0 : 1;
}
