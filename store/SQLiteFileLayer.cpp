// The file layer of a connection.
#include "store/SQLiteFileLayer.h"

#include <atomic>
#include <new>

namespace sqlite_detail {

namespace {

// A call the system refused; a short read (past the end of a file) and a missing file to delete
// are answers, not failures.
bool Failed(int rc) {
    if (rc == SQLITE_IOERR_SHORT_READ || rc == SQLITE_IOERR_DELETE_NOENT || rc == SQLITE_IOERR_NOMEM)
        return false;
    const int primary = rc & 0xFF;
    return primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_FULL;
}

// For a name no other connection's layer has.
std::atomic<unsigned> layersMade = 0;

} // namespace

// SQLite gives each file the space the layer asks for: the base's file first, then this.
struct TFileLayer::TFileCalls {
    sqlite3_io_methods Calls; // first: the file's pMethods points here
    const sqlite3_io_methods* Base;
    TFileLayer* Layer;
};

struct TFileLayer::TCalls {
    static TFileLayer& Of(sqlite3_vfs* vfs) { return *reinterpret_cast<TRegistered*>(vfs)->Layer; }
    static const TFileCalls& Own(sqlite3_file* file) {
        return *reinterpret_cast<const TFileCalls*>(file->pMethods);
    }

    // The system's last error as the base tells it now: right after the call that failed.
    static int ErrorNow(const TFileLayer& layer) {
        char text[256] = {};
        sqlite3_vfs* base = layer.base_;
        return base->xGetLastError ? base->xGetLastError(base, sizeof text, text) : 0;
    }
    static int Noted(TFileLayer& layer, int rc) {
        if (Failed(rc)) layer.systemError_ = ErrorNow(layer);
        return rc;
    }
    // A file keeps its own last error (set by its failures, left by the calls that succeed);
    // Windows' last error may already tell of a later call, the platform's retries or its log.
    static int Noted(sqlite3_file* file, int rc) {
        if (!Failed(rc)) return rc;
        const TFileCalls& own = Own(file);
        int error = 0;
        if (own.Base->xFileControl(file, SQLITE_FCNTL_LAST_ERRNO, &error) != SQLITE_OK)
            error = ErrorNow(*own.Layer);
        own.Layer->systemError_ = error;
        return rc;
    }

    static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
        TFileLayer& layer = Of(vfs);
        const int rc = layer.base_->xOpen(layer.base_, name, file, flags, outFlags);
        // The base sets its calls even when the open failed, for the close SQLite then makes.
        if (file->pMethods) {
            void* space = reinterpret_cast<char*>(file) + layer.callsAt_;
            auto* own = new (space) TFileCalls{*file->pMethods, file->pMethods, &layer};
            own->Calls.xRead = &Read;
            own->Calls.xWrite = &Write;
            own->Calls.xTruncate = &Truncate;
            own->Calls.xSync = &Sync;
            own->Calls.xFileSize = &FileSize;
            own->Calls.xLock = &Lock;
            own->Calls.xUnlock = &Unlock;
            own->Calls.xCheckReservedLock = &CheckReservedLock;
            file->pMethods = &own->Calls;
        }
        return Noted(layer, rc);
    }
    static int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
        TFileLayer& layer = Of(vfs);
        return Noted(layer, layer.base_->xDelete(layer.base_, name, syncDir));
    }
    static int Access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
        TFileLayer& layer = Of(vfs);
        return Noted(layer, layer.base_->xAccess(layer.base_, name, flags, result));
    }

    static int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
        return Noted(f, Own(f).Base->xRead(f, buffer, amount, offset));
    }
    static int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
        return Noted(f, Own(f).Base->xWrite(f, buffer, amount, offset));
    }
    static int Truncate(sqlite3_file* f, sqlite3_int64 size) {
        return Noted(f, Own(f).Base->xTruncate(f, size));
    }
    static int Sync(sqlite3_file* f, int flags) { return Noted(f, Own(f).Base->xSync(f, flags)); }
    static int FileSize(sqlite3_file* f, sqlite3_int64* size) {
        return Noted(f, Own(f).Base->xFileSize(f, size));
    }
    static int Lock(sqlite3_file* f, int level) { return Noted(f, Own(f).Base->xLock(f, level)); }
    static int Unlock(sqlite3_file* f, int level) { return Noted(f, Own(f).Base->xUnlock(f, level)); }
    static int CheckReservedLock(sqlite3_file* f, int* out) {
        return Noted(f, Own(f).Base->xCheckReservedLock(f, out));
    }
};

TFileLayer::TFileLayer() : name_("mv-connection-" + std::to_string(++layersMade)) {
    base_ = sqlite3_vfs_find(nullptr);
    if (!base_) return; // the open then fails: SQLite finds no layer of this name
    sqlite3_vfs& vfs = registered_.Vfs;
    vfs = *base_;
    vfs.pNext = nullptr;
    vfs.zName = name_.c_str();
    const int align = alignof(TFileCalls);
    callsAt_ = (base_->szOsFile + align - 1) / align * align;
    vfs.szOsFile = callsAt_ + static_cast<int>(sizeof(TFileCalls));
    vfs.xOpen = &TCalls::Open;
    vfs.xDelete = &TCalls::Delete;
    vfs.xAccess = &TCalls::Access;
    registered_.Layer = this;
    sqlite3_vfs_register(&vfs, 0);
}

TFileLayer::~TFileLayer() {
    if (base_) sqlite3_vfs_unregister(&registered_.Vfs);
}

} // namespace sqlite_detail
