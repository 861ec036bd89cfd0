#pragma once

namespace tamsel {

// Which PowerPoint versions are installed. The base class answers "no Office"; the Office
// detection of the special processing takes its place when it is there.
class OfficeInstallations {
  public:
    virtual ~OfficeInstallations() = default;

    virtual bool has97() const { return false; }
    virtual bool has2000() const { return false; }
    virtual bool hasXP() const { return false; }
    virtual bool has2003() const { return false; }
};

}  // namespace tamsel
