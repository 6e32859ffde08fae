// Helpers shared by the notes store tests.
#include "tests/store/StoreTestSupport.h"

#include <stdexcept>

#include "base/Streams.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

TRawDatabase::TRawDatabase(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open " + path);
}

TRawDatabase::~TRawDatabase() {
    sqlite3_close(db_);
}

void TRawDatabase::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(sql + ": " + text);
    }
}

std::vector<std::string> TRawDatabase::Column(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    std::vector<std::string> values;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        values.emplace_back(sqlite3_column_type(statement, 0) == SQLITE_NULL
                                ? "NULL"
                                : std::string(text, sqlite3_column_bytes(statement, 0)));
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    return values;
}

std::string TRawDatabase::Scalar(const std::string& sql) {
    const auto values = Column(sql);
    return values.empty() ? "" : values.front();
}

std::vector<std::string> Lines(const std::unique_ptr<TStringList>& list) {
    std::vector<std::string> lines;
    if (list)
        for (int i = 0; i < list->Count(); ++i)
            lines.push_back(list->Get(i));
    return lines;
}

const std::vector<std::string>& StoreIndexNames() {
    static const std::vector<std::string> names = {"namespace_title_nocase", "tag_link_tag",
                                                   "tag_link_topic_tag", "tag_title_nocase",
                                                   "topic_namespace_title_nocase"};
    return names;
}

std::vector<std::string> IndexNamesOf(TRawDatabase& raw) {
    return raw.Column(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
}

std::optional<std::string> RunWherePermissionsBind(const std::function<std::string()>& action) {
#ifdef _WIN32
    (void)action;
    return std::nullopt;
#else
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(channel[0]);
        const uid_t nobody = 65534;
        std::string text;
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) {
            _exit(2);
        }
        try {
            text = action();
        } catch (const std::exception& e) {
            text = std::string("(raised) ") + e.what();
        } catch (...) {
            text = "(raised)";
        }
        size_t written = 0;
        while (written < text.size()) {
            const ssize_t n = write(channel[1], text.data() + written, text.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt; // could not change user
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "(the child process failed)";
    return text;
#endif
}

void Save(TNotesStore& store, int32_t id, const std::string& title, const std::string& text) {
    TStringStream content(text);
    TStringStream meta("");
    store.SaveTopic(id, "", TTopicRect{}, content, title, meta);
}

int32_t Topic(TNotesStore& store, const std::string& title) {
    bool created = true;
    return store.FindTopic("", title, created);
}
