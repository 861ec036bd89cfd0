#include "engine/ReviewList.h"

#include "util/Format.h"

namespace tamsel {

std::string UpdateSummary(long updates, double downloadBytes) {
    if (updates == 0) {
        return "no updates";
    }
    return (updates == 1 ? std::string("1 file") : std::to_string(updates) + " files") +
           " to update (" + FormatSize(downloadBytes) + ")";
}

std::string DeleteSummary(long deletes, double deleteBytes) {
    return "   " + std::to_string(deletes) + " file to delete (" + FormatSize(deleteBytes) + ")";
}

ReviewList ListReview(CMetrics& metrics) {
    ReviewList review;
    double downloadBytes = 0;
    double deleteBytes = 0;
    long deletes = 0;
    for (const auto& entry : metrics.CompleteCatalogue()->Files().asCollection()) {
        metrics.Trace("Update::objFile " + entry->asString());
        const std::string sizeAndUrl = entry->ppSize() + "  " + entry->URL();
        switch (entry->myType()) {
            case CFile::TypeUpdate:
                review.lines.push_back("Update: " + sizeAndUrl);
                downloadBytes += LeadingNumber(entry->Size());
                break;
            case CFile::TypeNew:
                review.lines.push_back("New: " + sizeAndUrl);
                downloadBytes += LeadingNumber(entry->Size());
                break;
            case CFile::TypeRemove:
                review.lines.push_back("Remove: " + sizeAndUrl);
                // A local file whose size could not be read counts nothing.
                deleteBytes += LeadingNumber(entry->Size());
                ++deletes;
                break;
            default:
                review.lines.push_back("?" + entry->URL());
                break;
        }
    }
    const long updates = static_cast<long>(review.lines.size()) - deletes;
    review.summary = UpdateSummary(updates, downloadBytes);
    if (deletes > 0) {
        review.summary += DeleteSummary(deletes, deleteBytes);
        review.deletes = true;
    }
    return review;
}

}  // namespace tamsel
