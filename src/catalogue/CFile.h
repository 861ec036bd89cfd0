#pragma once

#include <memory>
#include <string>

namespace tamsel {

// One catalogue entry: a kit file, an excluded path or a special entry. Dates and sizes are
// texts and are compared as texts.
class CFile {
  public:
    static constexpr long TypeNone = 0;
    static constexpr long TypeUpdate = 1;
    static constexpr long TypeNew = 2;
    static constexpr long TypeRemove = 3;
    static constexpr long TypeUnchanged = 4;

    static constexpr long ReasonNone = 0;
    static constexpr long ReasonWrongSize = 1;
    static constexpr long ReasonWrongDate = 2;
    static constexpr long ReasonRedundant = 3;
    static constexpr long ReasonMissing = 4;

    static constexpr const char* DefaultTime = "26/10/1966";

    const std::string& Append() const { return append_; }
    void Append(std::string v) { append_ = std::move(v); }
    const std::string& Script() const { return script_; }
    void Script(std::string v) { script_ = std::move(v); }
    const std::string& Action() const { return action_; }
    void Action(std::string v) { action_ = std::move(v); }
    const std::string& URL() const { return url_; }
    void URL(std::string v) { url_ = std::move(v); }
    const std::string& Time() const { return time_; }
    void Time(std::string v) { time_ = std::move(v); }
    bool Tag() const { return tag_; }
    void Tag(bool v) { tag_ = v; }
    const std::string& Size() const { return size_; }
    void Size(std::string v) { size_ = std::move(v); }
    long myType() const { return myType_; }
    void myType(long v) { myType_ = v; }
    long Reason() const { return reason_; }
    void Reason(long v) { reason_ = v; }
    bool Hot() const { return hot_; }
    void Hot(bool v) { hot_ = v; }
    // The SHA-256 the file's content must have (64 hex digits); empty when the catalogue gives
    // none.
    const std::string& Sha256() const { return sha256_; }
    void Sha256(std::string v) { sha256_ = std::move(v); }

    // Append followed directly by URL.
    std::string fullURL() const { return append_ + url_; }
    // A copy of Append, URL, Time, Size, myType, Action and Sha256; the rest keeps its defaults.
    std::shared_ptr<CFile> Clone() const;
    // Script, trimmed of spaces, is not empty.
    bool isScript() const;
    // The entry as one catalogue line, without a line end.
    std::string asString() const;
    // Size read as a number and formatted as "1.5kb" and the like.
    std::string ppSize() const;

    // "Wrong Size", "Wrong Date", "Redundant", "Missing"; empty for any other value.
    static std::string ReasonText(long reason);

  private:
    std::string append_;
    std::string script_;
    std::string action_;
    std::string url_;
    std::string time_ = DefaultTime;
    bool tag_ = false;
    std::string size_;
    long myType_ = TypeNone;
    long reason_ = ReasonNone;
    bool hot_ = false;
    std::string sha256_;
};

}  // namespace tamsel
