#include "catalogue/CFile.h"

#include "util/Format.h"
#include "util/Text.h"

namespace tamsel {

std::shared_ptr<CFile> CFile::Clone() const {
    auto copy = std::make_shared<CFile>();
    copy->append_ = append_;
    copy->url_ = url_;
    copy->time_ = time_;
    copy->size_ = size_;
    copy->myType_ = myType_;
    copy->action_ = action_;
    copy->sha256_ = sha256_;
    return copy;
}

bool CFile::isScript() const {
    return script_.find_first_not_of(' ') != std::string::npos;
}

std::string CFile::asString() const {
    if (isScript()) {
        return "script=\"" + script_ + "\"";
    }
    std::string line;
    line.reserve(url_.size() + time_.size() + size_.size() + 32);
    line += "url=\"";
    line += url_;
    line += "\" date=\"";
    line += time_;
    line += "\" size=\"";
    line += size_;
    line += '"';
    if (reason_ != ReasonNone) {
        line += " reason=\"";
        line += ReasonText(reason_);
        line += '"';
    }
    return line;
}

std::string CFile::ppSize() const {
    return FormatSize(LeadingNumber(size_));
}

std::string CFile::ReasonText(long reason) {
    switch (reason) {
        case ReasonWrongSize:
            return "Wrong Size";
        case ReasonWrongDate:
            return "Wrong Date";
        case ReasonRedundant:
            return "Redundant";
        case ReasonMissing:
            return "Missing";
        default:
            return {};
    }
}

}  // namespace tamsel
