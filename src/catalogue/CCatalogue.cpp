#include "catalogue/CCatalogue.h"

#include "catalogue/NumberText.h"
#include "util/Error.h"

namespace tamsel {

namespace {

bool Counted(const CFile& entry) {
    return entry.Tag() && (entry.myType() == CFile::TypeNew || entry.myType() == CFile::TypeUpdate);
}

}  // namespace

void CCatalogue::Append(const CCatalogue& other) {
    files_.Append(other.files_);
    excluded_.Append(other.excluded_);
}

double CCatalogue::Size() const {
    double total = 0;
    for (const auto& entry : files_.asCollection()) {
        if (!Counted(*entry)) {
            continue;
        }
        double bytes = 0;
        if (!ReadNumber(entry->Size(), bytes)) {
            throw TamselError(err::TypeMismatch, "CCatalogue.Size",
                              "Type mismatch: size \"" + entry->Size() + "\" of " + entry->URL() +
                                  " is not a number");
        }
        total += bytes;
    }
    return total;
}

long CCatalogue::Updates() const {
    long count = 0;
    for (const auto& entry : files_.asCollection()) {
        if (Counted(*entry)) {
            ++count;
        }
    }
    return count;
}

}  // namespace tamsel
