// munchora-server: the online table. Every game sent to it is played again
// by the headless runner beside it before it is listed.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "formats/files.h"
#include "server/backup.h"
#include "server/run_tokens.h"
#include "server/score_store.h"
#include "server/service.h"
#include "server/verifier.h"

namespace {

constexpr const char* kUsage =
    "usage: munchora-server --data DIR --db sqlite:PATH [--port N] [--bind ADDR] [--static DIR]\n"
    "                       [--secret-file F] [--workers N] [--rate N]\n"
    "       munchora-server --db URL --export FILE | --import FILE\n"
    "  --data DIR     a program directory: the level set, tunes and catalogue games are verified on\n"
    "  --db URL       where the table is kept: sqlite:PATH (made when missing) or postgresql://...\n"
    "  --port N       the port to listen on (default 8020; 0: any free one)\n"
    "  --bind ADDR    the address to listen on (default 127.0.0.1)\n"
    "  --static DIR   files served on the same origin (the browser build)\n"
    "  --secret-file F  the key run tokens are signed with, made when missing (default DIR/server-secret)\n"
    "  --workers N    games verified at once (default: the number of processors)\n"
    "  --rate N       games one address may send a minute (default 30)\n"
    "  --export FILE  writes the table (games, recordings, used tokens) into FILE and ends\n"
    "  --import FILE  puts a table written by --export back and ends; numbers taken already are kept\n";

constexpr int kVerifyCapMs = 10000;

int UsageError(const std::string& why) {
    std::cerr << "munchora-server: " << why << "\n" << kUsage;
    return 2;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir, db, bind = "127.0.0.1", staticDir, secretFile, exportFile, importFile;
    int port = 8020;
    int rate = 30;
    int workers = int(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--data") {
            if (!value(dataDir)) return UsageError("--data needs a directory");
        } else if (arg == "--db") {
            if (!value(db)) return UsageError("--db needs a URL");
        } else if (arg == "--port") {
            if (!value(text) || !ParseNumber(text, 0, 65535, port)) return UsageError("bad --port");
        } else if (arg == "--bind") {
            if (!value(bind)) return UsageError("--bind needs an address");
        } else if (arg == "--static") {
            if (!value(staticDir)) return UsageError("--static needs a directory");
        } else if (arg == "--secret-file") {
            if (!value(secretFile)) return UsageError("--secret-file needs a file");
        } else if (arg == "--export") {
            if (!value(exportFile)) return UsageError("--export needs a file");
        } else if (arg == "--import") {
            if (!value(importFile)) return UsageError("--import needs a file");
        } else if (arg == "--rate") {
            if (!value(text) || !ParseNumber(text, 1, 100000, rate)) return UsageError("bad --rate");
        } else if (arg == "--workers") {
            if (!value(text) || !ParseNumber(text, 1, 64, workers)) return UsageError("bad --workers");
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            return UsageError("unknown argument '" + arg + "'");
        }
    }
    if (db.empty()) return UsageError("--db is needed");
    const bool sqlite = db.rfind("sqlite:", 0) == 0;
    if (!sqlite && db.rfind("postgresql://", 0) != 0 && db.rfind("postgres://", 0) != 0)
        return UsageError("the database must be sqlite:PATH or a postgresql:// URL");
    if (!exportFile.empty() || !importFile.empty()) {
        if (!exportFile.empty() && !importFile.empty()) return UsageError("--export or --import, not both");
        try {
            const auto store = sqlite ? server::OpenSqliteStore(db.substr(std::strlen("sqlite:")))
                                      : server::OpenPostgresStore(db);
            const server::TBackupCount count = exportFile.empty() ? server::ImportTable(*store, importFile)
                                                                  : server::ExportTable(*store, exportFile);
            std::printf("munchora-server: %s %lld games and %lld used tokens\n",
                        exportFile.empty() ? "imported" : "exported",
                        static_cast<long long>(count.submissions), static_cast<long long>(count.tokens));
            return 0;
        } catch (const std::exception& error) {
            std::cerr << "munchora-server: " << error.what() << "\n";
            return 1;
        }
    }
    if (dataDir.empty()) return UsageError("--data is needed");
    if (dataDir.back() != '/') dataDir += '/';
    if (!formats::FileExists(dataDir + "Munchora.ini")) return UsageError("no Munchora.ini in " + dataDir);

    // SIGINT and SIGTERM end the service from a thread of their own.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (secretFile.empty()) secretFile = dataDir + "server-secret";
    std::unique_ptr<server::ScoreStore> store;
    std::unique_ptr<server::RunTokens> tokens;
    try {
        store = sqlite ? server::OpenSqliteStore(db.substr(std::strlen("sqlite:")))
                       : server::OpenPostgresStore(db);
        tokens = std::make_unique<server::RunTokens>(secretFile);
    } catch (const std::exception& error) {
        std::cerr << "munchora-server: " << error.what() << "\n";
        return 1;
    }
    server::Verifier verifier(formats::ExecutableDirectory() + "munchora-headless", dataDir, kVerifyCapMs);
    // Shared level sets are kept beside the secret, where the server may write.
    const std::filesystem::path secretFolder = std::filesystem::path(secretFile).parent_path();
    server::LevelSetLibrary levelSets((secretFolder.empty() ? "." : secretFolder.string()) + "/levelsets/",
                                      dataDir, formats::ExecutableDirectory() + "munchora-headless");
    verifier.VerifyLevelSets([&levelSets](const std::string& digest) { return levelSets.Folder(digest); });
    server::Service service(*store, verifier, *tokens, levelSets, {staticDir, workers, 5000, rate});
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        service.Stop();
    });
    stopper.detach();
    const bool served = service.Listen(bind, port, [&](int bound) {
        std::printf("munchora-server: listening on http://%s:%d/, level set %s\n", bind.c_str(), bound,
                    verifier.Board().c_str());
        std::fflush(stdout);
    });
    if (!served) {
        std::cerr << "munchora-server: can't listen on " << bind << ":" << port << "\n";
        return 1;
    }
    return 0;
}
