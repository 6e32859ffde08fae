// The file layer every connection of TSQLiteDatabase opens its files through: it notes the
// system's error of each file call that fails.
#pragma once

#include <string>
#include <utility>

#include <sqlite3.h>

namespace sqlite_detail {

// Why a write failed is told by the system's error of the file call that failed. SQLite keeps one
// of its own (sqlite3_system_errno) but does not set it at every failure: some I/O errors of a
// commit leave the number an older failure set, and a failure that meets the same error as the one
// before looks like one that met none. So each connection opens its files through a layer of its
// own, over the layer that was SQLite's default when the connection opened (the platform's, or a
// test's), which notes the error at each file call that fails. Every call it does not replace goes
// to that base unchanged. A connection stays on one thread, so the note needs no lock.
class TFileLayer {
public:
    // Over SQLite's default layer as it is now; registered under Name(), not as the default.
    TFileLayer();
    // Only once the connection that opened through it is closed.
    ~TFileLayer();
    TFileLayer(const TFileLayer&) = delete;
    TFileLayer& operator=(const TFileLayer&) = delete;

    // The name to hand sqlite3_open_v2.
    const char* Name() const { return name_.c_str(); }
    // The system's error of the last file call that failed since the last take (0 when none did),
    // forgotten here so that no later failure tells it again.
    int TakeSystemError() { return std::exchange(systemError_, 0); }

private:
    struct TRegistered {
        sqlite3_vfs Vfs; // first: SQLite hands this to the layer's calls
        TFileLayer* Layer;
    };
    struct TFileCalls;
    struct TCalls;

    std::string name_;
    sqlite3_vfs* base_ = nullptr;
    TRegistered registered_{};
    int callsAt_ = 0;     // where a file's TFileCalls starts in the space SQLite gives it
    int systemError_ = 0; // of the last call that failed, until taken
};

} // namespace sqlite_detail
