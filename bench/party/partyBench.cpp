// Party mode under load, on a library of N tracks (default 100,000):
//
// 1. The guests' search: building its index, and the time of typical
//    queries (target: under 20 ms each at 100,000 tracks).
// 2. GUESTS simulated guests (default 200) on the loopback address for
//    SECONDS seconds (default 60), each joining, then searching, asking for
//    tracks and looking at the state as a guest at a party does, while the
//    jukebox plays real files, cross-fading from one to the next, into a
//    private PulseAudio server: errors (target 0), the latency of each call
//    (target: search p99 under 100 ms), the sound output's underruns
//    (target 0) and the resident memory over the run (target: flat).
//
// 3. With --index, only this, on libraries in memory of 100,000 and
//    1,000,000 tracks (or the sizes given): building the guests' library,
//    and the library's partial changes (20 tracks added, 1 removed, a
//    folder of 20 moved) taken by building it anew beside taking the change
//    set (target: well under 16 ms at 1,000,000 tracks).
//
//   bench-party [SECONDS] [GUESTS] [N]
//   bench-party --check [SECONDS] [GUESTS] [N]   exits non-zero on errors
//   bench-party --index [N...]
#include "benchLibrary.h"

#include "audioFixtures.h"
#include "libraryEditor.h"
#include "core/dmMain.h"
#include "silentUi.h"
#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/taggerList.h"
#include "metadata/id3Tagger.h"
#include "party/guestLibrary.h"
#include "party/partyServer.h"
#include "playback/audioEngine.h"
#include "playback/crossPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <unistd.h>

namespace {

constexpr int kToneFiles = 4;
constexpr double kToneSeconds = 12;

// A library of count tracks by 3,000 artists on 8,000 albums whose files
// all exist: hard links to a few real tone files, so that whatever a guest
// asks for plays. Also the words its texts are made of, for the guests'
// searches.
bool writePlayableLibrary(const QString &home, int count, QStringList *words)
{
    const QString music = home + QStringLiteral("/music");
    QDir().mkpath(music);
    QDir().mkpath(home + QStringLiteral("/Data"));
    QStringList tones;
    for (int i = 0; i < kToneFiles; ++i) {
        ToneSpec spec;
        spec.seconds = kToneSeconds;
        spec.frequency = 330 + 110 * i;
        spec.bitRate = QStringLiteral("96k");
        const QString file = music + QStringLiteral("/tone%1.mp3").arg(i);
        QString error;
        if (!MakeToneFile(file, spec, &error)) {
            std::fprintf(stderr, "bench-party: %s\n", qPrintable(error));
            return false;
        }
        tones << file;
    }
    QRandomGenerator random(7);
    QStringList artists;
    for (int i = 0; i < 3000; ++i)
        artists << RandomWord(random, 4, 10) + u' ' + RandomWord(random, 3, 9);
    QStringList albums;
    for (int i = 0; i < 8000; ++i)
        albums << RandomWord(random, 3, 9) + u' ' + RandomWord(random, 2, 12);
    TtaggerList list;
    for (int i = 0; i < count; ++i) {
        const int albumIndex = i % int(albums.size());
        const QString title = RandomWord(random, 4, 10) + u' ' + RandomWord(random, 2, 10);
        const QString folder = music + QStringLiteral("/a%1").arg(albumIndex);
        if (i < albums.size())
            QDir().mkpath(folder);
        const QString file = folder + QStringLiteral("/%1.mp3").arg(i);
        if (::link(QFile::encodeName(tones[i % kToneFiles]).constData(), QFile::encodeName(file).constData()) != 0) {
            std::perror("bench-party: link");
            return false;
        }
        auto *record = new Tid3Tagger;
        record->SetTitle(title);
        record->SetArtist(artists[albumIndex % artists.size()]);
        record->SetAlbum(albums[albumIndex]);
        record->SetTrack(quint32(i / albums.size() + 1));
        record->SetFilename(file);
        record->SetDuration(kToneSeconds * 1000);
        record->SetValidTag(true);
        list.Add(record);
        if (i % 97 == 0)
            *words << title.section(u' ', 0, 0);
        if (i % 211 == 0)
            *words << artists[albumIndex % artists.size()].section(u' ', 1, 1);
    }
    list.SortBy(tsTitle);
    return list.SaveListFile(home + QStringLiteral("/Data/jukebox.dat"));
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p / 100.0 * double(values.size())))];
}

// --- the guests' search ---------------------------------------------------------------

void benchSearch(const TdmMain &core, const QStringList &words)
{
    QElapsedTimer timer;
    timer.start();
    const TguestLibrary library(core.jblMain(), 12345);
    const double buildMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("\nThe guests' search over %d tracks\n", library.TrackCount());
    std::printf("  building the index             %8.1f ms\n", buildMs);
    QStringList queries { QStringLiteral("a"), QStringLiteral("an"), QStringLiteral("love"), QStringLiteral("e"),
        QStringLiteral("zzzz"), QStringLiteral("Über"), QStringLiteral("qu ma") };
    for (int i = 0; i < 5; ++i)
        queries << words[(i * 37) % words.size()].left(4).toLower();
    queries << words[3] + u' ' + words[11].left(2);
    std::vector<double> all;
    std::printf("  %-24s %8s %8s %8s %8s   (target < 20 ms)\n", "query", "results", "median", "p99", "max");
    for (const QString &query : queries) {
        std::vector<double> times;
        size_t found = 0;
        for (int run = 0; run < 40; ++run) {
            timer.restart();
            found = library.Search(query, 40).size();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        all.insert(all.end(), times.begin(), times.end());
        std::printf("  %-24s %8zu %7.2f  %7.2f  %7.2f ms\n", ('"' + query.toStdString() + '"').c_str(), found,
            percentile(times, 50), percentile(times, 99), *std::max_element(times.begin(), times.end()));
    }
    std::printf("  all queries                             %7.2f  %7.2f  %7.2f ms\n", percentile(all, 50),
        percentile(all, 99), *std::max_element(all.begin(), all.end()));
    std::fflush(stdout);
}

// --- the library's partial changes ---------------------------------------------------

// A library in memory of count tracks, an album of some 20 tracks to a
// folder and some 3 albums to an artist.
void fillLibrary(Tmp3JukeBoxLists &library, int count, QRandomGenerator &random)
{
    const int albumCount = std::max(1, count / 20);
    const int artistCount = std::max(1, albumCount / 3);
    QStringList artists;
    for (int i = 0; i < artistCount; ++i)
        artists << RandomWord(random, 4, 10) + u' ' + RandomWord(random, 3, 9);
    QStringList albums;
    for (int i = 0; i < albumCount; ++i)
        albums << RandomWord(random, 3, 9) + u' ' + RandomWord(random, 2, 12);
    library.SuspendRebuild();
    for (int i = 0; i < count; ++i) {
        const int album = i % albumCount;
        auto *record = new Tid3Tagger;
        record->SetTitle(RandomWord(random, 4, 10) + u' ' + RandomWord(random, 2, 10));
        record->SetArtist(artists[album % artistCount]);
        record->SetAlbum(albums[album]);
        record->SetTrack(quint32(i / albumCount + 1));
        record->SetFilename(QStringLiteral("/music/%1/%2/%3.mp3").arg(album % artistCount).arg(album).arg(i));
        record->SetValidTag(true);
        library.MasterList().Add(record);
    }
    library.ResumeRebuild();
}

// One kind of change: edits the library and its index as a library that
// follows its folders does, and names what it did.
using TchangeMaker = std::function<TlibraryChanges(Tmp3JukeBoxLists &, QRandomGenerator &, int)>;

TlibraryChanges addTracks(Tmp3JukeBoxLists &library, QRandomGenerator &random, int round)
{
    LibraryEditor filing(library);
    const QString artist = library.MasterList().Items(random.bounded(library.MasterList().Count()))->Artist();
    for (int i = 0; i < 20; ++i) {
        auto *record = new Tid3Tagger;
        record->SetTitle(RandomWord(random, 4, 10) + u' ' + RandomWord(random, 2, 10));
        record->SetArtist(artist);
        record->SetAlbum(QStringLiteral("New Album %1").arg(round));
        record->SetTrack(quint32(i + 1));
        record->SetFilename(QStringLiteral("/music/new/%1/%2.mp3").arg(round).arg(i));
        record->SetValidTag(true);
        filing.Add(record);
    }
    return filing.Take();
}

TlibraryChanges removeTrack(Tmp3JukeBoxLists &library, QRandomGenerator &random, int)
{
    LibraryEditor filing(library);
    filing.Remove(library.MasterList().Items(random.bounded(library.MasterList().Count())));
    return filing.Take();
}

TlibraryChanges moveFolder(Tmp3JukeBoxLists &library, QRandomGenerator &random, int round)
{
    LibraryEditor filing(library);
    const QString folder = library.MasterList().Items(random.bounded(library.MasterList().Count()))->Folder();
    int moved = 0;
    for (TcustomTagger *record : std::vector<TcustomTagger *>(library.MasterList().Records())) {
        if (record->Folder() == folder && moved++ < 20)
            filing.Move(record, folder.chopped(1) + QStringLiteral(" (moved %1)/").arg(round) + record->NameInFolder());
    }
    return filing.Take();
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void benchIndexChanges(int count)
{
    Tmp3JukeBoxLists library;
    QRandomGenerator random(11);
    fillLibrary(library, count, random);
    std::printf("\nThe guests' library of %d tracks (%d albums, %d artists)\n", count, library.AlbumList().Count(),
        library.ArtistList().Count());
    const long before = ResidentKiB();
    QElapsedTimer timer;
    timer.start();
    TguestLibrary kept(library, 12345);
    std::printf("  building it                    %8.1f ms   (%.0f bytes a track)\n", msSince(timer),
        double(ResidentKiB() - before) * 1024.0 / count);
    const std::pair<const char *, TchangeMaker> kinds[] = {
        { "20 tracks added", addTracks },
        { "1 track removed", removeTrack },
        { "a folder of 20 moved", moveFolder },
    };
    constexpr int kRounds = 5;
    std::vector<std::vector<double>> applied(std::size(kinds));
    int round = 0;
    // What taking the changes added to the memory, not what the library
    // filed.
    long grown = 0;
    for (size_t kind = 0; kind < std::size(kinds); ++kind) {
        for (int i = 0; i < kRounds; ++i) {
            const TlibraryChanges changes = kinds[kind].second(library, random, round++);
            const long was = ResidentKiB();
            timer.restart();
            kept.Apply(library, changes);
            applied[kind].push_back(msSince(timer));
            grown += ResidentKiB() - was;
        }
    }
    std::printf("  %-28s %12s %12s   (target: well under 16 ms)\n", "change", "built anew", "change set");
    for (size_t kind = 0; kind < std::size(kinds); ++kind) {
        timer.restart();
        const TguestLibrary fresh(library, 12345);
        const double anew = msSince(timer);
        std::printf("  %-28s %9.1f ms %9.2f ms   (median of %d; worst %.2f ms)\n", kinds[kind].first, anew,
            percentile(applied[kind], 50), kRounds, *std::max_element(applied[kind].begin(), applied[kind].end()));
    }
    std::printf("  taking %d changes added %.1f bytes a track\n", round, double(grown) * 1024.0 / count);

    // Many changes in a row, whose words split blocks; and the one pass
    // over everything, once dead slots are an eighth of all.
    std::vector<double> stream;
    for (int i = 0; i < 600; ++i) {
        const TlibraryChanges changes = addTracks(library, random, round++);
        timer.restart();
        kept.Apply(library, changes);
        stream.push_back(msSince(timer));
    }
    std::printf("  20 tracks added, 600 times:  median %.2f ms, worst %.2f ms\n",
        percentile(stream, 50), *std::max_element(stream.begin(), stream.end()));
    TguestSearchIndex index(12345, size_t(library.MasterList().Count()));
    for (TcustomTagger *record : library.MasterList().Records())
        index.Add(record);
    index.EndAdding();
    const std::vector<TcustomTagger *> &records = library.MasterList().Records();
    for (size_t i = 0; i <= records.size() / 8; ++i)
        index.Drop(records[i * 7], records[i * 7]->Filename());
    timer.restart();
    index.EndAdding();
    std::printf("  compacting an eighth of dead slots away:  %.1f ms (once per %zu tracks dropped)\n", msSince(timer),
        records.size() / 8);
    std::fflush(stdout);
}

// --- the simulated guests ------------------------------------------------------------------

struct Tlatencies {
    std::mutex lock;
    std::map<std::string, std::vector<double>> byCall;
    std::map<int, int> statuses;
    int errors = 0;
    int calls = 0;
};

// One guest's phone: a kept-alive connection, a call at a time, a pause
// between calls as a person's between taps. Lives on the client thread.
class TsimGuest {
public:
    TsimGuest(int number, quint16 port, const QStringList &words, Tlatencies &stats, std::atomic<bool> &stop)
        : m_number(number)
        , m_port(port)
        , m_words(words)
        , m_stats(stats)
        , m_stop(stop)
        , m_random(quint32(number) * 7919u + 1)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] {
            if (!m_stop && m_waiting)
                failed("closed");
        });
        connect();
        // Arrivals spread over the first two seconds.
        QTimer::singleShot(m_random.bounded(2000), &m_socket, [this] { join(); });
    }

private:
    // Each phone has an address of its own, as on the party's network:
    // 127.0.x.y, all of which reach the loopback.
    void connect()
    {
        m_socket.bind(QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + m_number / 250).arg(1 + m_number % 250)));
        m_socket.connectToHost(QHostAddress::LocalHost, m_port);
    }

    void send(const std::string &call, const QByteArray &request)
    {
        if (m_stop)
            return;
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            m_socket.abort();
            connect();
            if (!m_socket.waitForConnected(5000)) {
                failed("connect");
                return;
            }
        }
        m_call = call;
        m_buffer.clear();
        m_waiting = true;
        m_timer.start();
        m_socket.write(request);
    }

    QByteArray head(const char *method, const QByteArray &target) const
    {
        QByteArray cookie = "vorlen_code=" + m_code;
        if (!m_guest.isEmpty())
            cookie += "; vorlen_guest=" + m_guest;
        return QByteArray(method) + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
            + "\r\nCookie: " + cookie + "\r\n";
    }

    void get(const std::string &call, const QByteArray &target) { send(call, head("GET", target) + "\r\n"); }

    void post(const std::string &call, const QByteArray &target, const QByteArray &body)
    {
        send(call, head("POST", target) + "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
                + "\r\n\r\n" + body);
    }

public:
    void setCode(const QByteArray &code) { m_code = code; }

private:
    void join() { post("join", "/api/join", "{\"name\":\"Guest " + QByteArray::number(m_number) + "\"}"); }

    void next()
    {
        const int roll = m_random.bounded(100);
        if (roll < 60 || m_results.isEmpty()) {
            const QString word = m_words[m_random.bounded(int(m_words.size()))];
            // As typed: the first letters, growing.
            const QString query = word.left(m_random.bounded(2, std::max<int>(3, int(word.size()) + 1)));
            get("search", "/api/search?q=" + QUrl::toPercentEncoding(query) + "&limit=25");
        } else if (roll < 80) {
            const QByteArray id = m_results[m_random.bounded(int(m_results.size()))];
            post("request", "/api/request", "{\"track\":\"" + id + "\"}");
        } else if (roll < 95) {
            get("state", "/api/state");
        } else {
            get("artists", "/api/artists?offset=" + QByteArray::number(m_random.bounded(1500)) + "&count=50");
        }
    }

    void read()
    {
        m_buffer += m_socket.readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        qint64 length = -1;
        int status = 0;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.first().split(' ');
        if (first.size() >= 2)
            status = first[1].toInt();
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
            if (line.toLower().startsWith("set-cookie: vorlen_guest="))
                m_guest = line.mid(25, 32);
        }
        if (length < 0 || m_buffer.size() < end + 4 + length)
            return;
        const QByteArray body = m_buffer.mid(end + 4, length);
        m_waiting = false;
        const double ms = double(m_timer.nsecsElapsed()) / 1e6;
        // Refusals (409) are answers, as at a real party; 4xx otherwise, 5xx
        // and broken answers are errors.
        const bool error = status >= 500 || status == 0 || (status >= 400 && status != 409);
        {
            std::lock_guard guard(m_stats.lock);
            m_stats.byCall[m_call].push_back(ms);
            ++m_stats.statuses[status];
            ++m_stats.calls;
            m_stats.errors += error ? 1 : 0;
        }
        if (m_call == "search") {
            const QJsonArray tracks = QJsonDocument::fromJson(body).object().value(QStringLiteral("tracks")).toArray();
            if (!tracks.isEmpty()) {
                m_results.clear();
                for (const QJsonValue track : tracks)
                    m_results << track.toObject().value(QStringLiteral("id")).toString().toLatin1();
            }
        }
        if (!m_stop)
            QTimer::singleShot(300 + m_random.bounded(900), &m_socket, [this] { next(); });
    }

    void failed(const char *what)
    {
        m_waiting = false;
        {
            std::lock_guard guard(m_stats.lock);
            ++m_stats.errors;
            ++m_stats.calls;
            m_stats.byCall[std::string("failed: ") + what].push_back(0);
        }
        if (!m_stop)
            QTimer::singleShot(1000, &m_socket, [this] { next(); });
    }

    int m_number;
    quint16 m_port;
    const QStringList &m_words;
    Tlatencies &m_stats;
    std::atomic<bool> &m_stop;
    QRandomGenerator m_random;
    QTcpSocket m_socket;
    QByteArray m_code;
    QByteArray m_guest;
    QByteArray m_buffer;
    QList<QByteArray> m_results;
    std::string m_call;
    bool m_waiting = false;
    QElapsedTimer m_timer;
};

// The guests run on a thread of their own with its own event loop, so that
// the server's thread serves them as it would serve phones.
class TguestThread : public QThread {
public:
    TguestThread(int guests, quint16 port, QByteArray code, QStringList words, Tlatencies &stats)
        : m_guests(guests)
        , m_port(port)
        , m_code(std::move(code))
        , m_words(std::move(words))
        , m_stats(stats)
    {
    }
    void Stop() { m_stop = true; }

protected:
    void run() override
    {
        std::vector<std::unique_ptr<TsimGuest>> guests;
        for (int i = 0; i < m_guests; ++i) {
            guests.push_back(std::make_unique<TsimGuest>(i + 1, m_port, m_words, m_stats, m_stop));
            guests.back()->setCode(m_code);
        }
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (m_stop)
                quit();
        });
        poll.start(50);
        exec();
    }

private:
    int m_guests;
    quint16 m_port;
    QByteArray m_code;
    QStringList m_words;
    Tlatencies &m_stats;
    std::atomic<bool> m_stop { false };
};

bool runScript(const QString &action, const QString &dir)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT), { action, dir });
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QStringLiteral("--index")) {
        args.removeFirst();
        if (args.isEmpty())
            args = QStringList { QStringLiteral("100000"), QStringLiteral("1000000") };
        for (const QString &count : args)
            benchIndexChanges(count.toInt());
        return 0;
    }
    const bool check = !args.isEmpty() && args.first() == QStringLiteral("--check");
    if (check)
        args.removeFirst();
    const int seconds = args.value(0, QStringLiteral("60")).toInt();
    const int guestCount = args.value(1, QStringLiteral("200")).toInt();
    const int tracks = args.value(2, QStringLiteral("100000")).toInt();

    QTemporaryDir home;
    QStringList words;
    std::printf("bench-party: %d tracks, %d guests for %d s\n", tracks, guestCount, seconds);
    QElapsedTimer timer;
    timer.start();
    if (!writePlayableLibrary(home.path(), tracks, &words))
        return 1;
    std::printf("  library written in %.1f s (files are hard links to %d tone files of %.0f s)\n",
        double(timer.elapsed()) / 1000.0, kToneFiles, kToneSeconds);

    // The sound goes to a private PulseAudio server, as the tests' does.
    const QString pulseDir = home.path() + QStringLiteral("/pulse");
    const bool pulse = runScript(QStringLiteral("start"), pulseDir);
    if (pulse) {
        qputenv("PULSE_SERVER", ("unix:" + pulseDir + "/native").toUtf8());
        qputenv("PULSE_SINK", "vorlen_null");
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
    } else {
        qputenv("SDL_AUDIODRIVER", "dummy");
    }
    int exitCode = 0;
    {
        QFile ini(home.path() + QStringLiteral("/vorlen.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[General]\nShowTips=0\n[Party]\nEnabled=1\nGuestCode=K7M2QX\nRequestsPerGuest=3\nRepeatMinutes=60\n");
        ini.close();
        TsilentUi ui;
        TdmMainOptions options;
        options.folders.home = home.path();
        options.folders.assets = home.path();
        options.cdDrives = [] { return QList<CdDrive> {}; };
        TdmMain core(ui, options);
        TpartyServerOptions serverOptions;
        serverOptions.listenAddress = QHostAddress::LocalHost;
        serverOptions.port = 0;
        // Every simulated phone comes from the loopback address.
        serverOptions.maxConnectionsPerAddress = serverOptions.maxConnections;
        serverOptions.joinBurst = guestCount;
        TpartyServer server(core, serverOptions);
        core.LoadSettings();
        timer.restart();
        core.StartUp();
        std::printf("  the core started with the library in %.1f s\n", double(timer.elapsed()) / 1000.0);

        benchSearch(core, words);

        std::printf("\n%d guests for %d s, the jukebox playing into %s\n", guestCount, seconds,
            pulse ? "a private PulseAudio server" : "SDL's dummy driver (PulseAudio did not start)");
        if (!server.Listening()) {
            std::printf("  the guests' server is not listening: %s\n", qPrintable(core.PartyStatus().Error));
            return 1;
        }
        AudioEngine &engine = const_cast<TcrossPlayer &>(core.Player()).Engine();
        core.Play();
        engine.resetMixStats();
        Tlatencies stats;
        TguestThread guests(guestCount, server.Port(), "K7M2QX", words, stats);
        std::vector<std::pair<double, long>> memory;
        QElapsedTimer clock;
        clock.start();
        memory.push_back({ 0, ResidentKiB() });
        guests.start();
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] { memory.push_back({ double(clock.elapsed()) / 1000.0, ResidentKiB() }); });
        sample.start(5000);
        QTimer::singleShot(seconds * 1000, [&] { app.quit(); });
        app.exec();
        guests.Stop();
        guests.wait();
        memory.push_back({ double(clock.elapsed()) / 1000.0, ResidentKiB() });
        const AudioEngine::MixStats mix = engine.mixStats();
        core.Stop();

        std::lock_guard guard(stats.lock);
        std::printf("  calls answered                 %8d   (%.0f a second)\n", stats.calls, stats.calls / double(seconds));
        std::printf("  errors                         %8d   (target 0)\n", stats.errors);
        std::printf("  statuses                     ");
        for (const auto &[status, count] : stats.statuses)
            std::printf(" %d: %d", status, count);
        std::printf("\n  %-28s %8s %8s %8s %8s\n", "latency of", "calls", "median", "p99", "max");
        for (const auto &[call, times] : stats.byCall)
            std::printf("  %-28s %8zu %7.2f  %7.2f  %7.2f ms%s\n", call.c_str(), times.size(), percentile(times, 50),
                percentile(times, 99), times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()),
                call == "search" ? "   (target p99 < 100 ms)" : "");
        std::printf("  tracks queued by guests        %8d\n", core.tqQueue().Count());
        std::printf("  mixer blocks %lld, worst %.2f ms, p99 %.2f ms\n", mix.blocks, mix.worstMs, mix.p99Ms);
        std::printf("  sound output underruns         %8lld   (target 0)\n", mix.underruns);
        std::printf("  resident memory (MB) by second:");
        for (const auto &[at, kib] : memory)
            std::printf(" %.0fs %.1f", at, double(kib) / 1024.0);
        const double firstHalf = double(memory[memory.size() / 2].second - memory[1 % memory.size()].second) / 1024.0;
        const double secondHalf = double(memory.back().second - memory[memory.size() / 2].second) / 1024.0;
        std::printf("\n  growth: %+.1f MB in the first half, %+.1f MB in the second   (target: flat)\n", firstHalf, secondHalf);
        std::fflush(stdout);
        if (check && (stats.errors > 0 || stats.calls == 0))
            exitCode = 1;
    }
    if (pulse)
        runScript(QStringLiteral("stop"), pulseDir);
    return exitCode;
}
