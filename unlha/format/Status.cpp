// Descriptions of the codec's result kinds.
#include "Status.h"

namespace lha {

const char* describe(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::NotArchive: return "not an LHA archive";
    case Status::BrokenData: return "broken archive data";
    case Status::Unsupported: return "unsupported compression method";
    case Status::WriteFailed: return "cannot create or write the file";
    case Status::RefusedPath: return "refused path";
    case Status::Cancelled: return "cancelled";
    case Status::BadCommand: return "bad command line";
    case Status::ReadFailed: return "cannot read the archive";
    case Status::OutOfMemory: return "out of memory";
    }
    return "unknown error";
}

} // namespace lha
