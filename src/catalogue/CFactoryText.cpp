#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "catalogue/CFactory.h"
#include "catalogue/CatalogueSyntax.h"
#include "catalogue/NumberText.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel {

namespace {

// One data line: its text and the text left for the presence test.
struct DataLine {
    std::string_view text;
    std::string stripped;

    bool has(std::string_view key) const { return HasKey(stripped, key); }
    std::string value(std::string_view key) const { return KeyValue(key, text); }
    std::string valueIfPresent(std::string_view key) const {
        return has(key) ? value(key) : std::string();
    }
};

// A numeric force rounded to a whole number (halves to even, as the runtime's integer conversion
// did); nothing for any other text. Throws TamselError(err::Overflow) beyond 16 bits.
std::optional<std::int16_t> ForceFromText(const std::string& text) {
    double number = 0;
    if (!ReadNumber(text, number)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        throw TamselError(err::Overflow, "CFactory.createCatalogueFromText",
                          "Overflow: force \"" + text + "\" does not fit 16 bits");
    }
    return static_cast<std::int16_t>(rounded);
}

class TextParser {
  public:
    TextParser(const std::string& prefix, const std::string& remote)
        : prefix_(prefix), remote_(remote), catalogue_(std::make_shared<CCatalogue>()) {}

    void header(Section next) {
        endSection();
        section_ = next;
        if (section_ == Section::Menu) {
            menu_ = std::make_shared<CMenu>();
        }
    }

    void data(const DataLine& line) {
        switch (section_) {
            case Section::Common:
                common(line);
                break;
            case Section::Menu:
                menu(line);
                break;
            case Section::Exclude:
                exclude(line);
                break;
            case Section::Settings:
                settings(line);
                break;
            case Section::Special:
                special(line);
                break;
        }
    }

    std::shared_ptr<CCatalogue> finish() {
        endSection();
        return catalogue_;
    }

    long entries() const {
        return catalogue_->Files().Size() + catalogue_->Menus().Size() +
               catalogue_->Excluded().Size() + catalogue_->Special().Size() + settings_;
    }

  private:
    void endSection() {
        if (section_ == Section::Menu && menu_) {
            catalogue_->Menus().add(std::move(menu_));
            menu_.reset();
        }
    }

    void common(const DataLine& line) {
        if (!line.has("url") || !line.has("date") || !line.has("size")) {
            return;
        }
        auto file = std::make_shared<CFile>();
        file->Append(prefix_.empty() || absolute_ ? prefix_ : prefix_ + "/PowerPoint");
        file->URL(line.value("url"));
        file->Time(line.value("date"));
        file->Size(line.value("size"));
        file->Action(line.valueIfPresent("action"));
        file->Sha256(line.valueIfPresent("sha256"));
        catalogue_->Files().add(std::move(file));
    }

    void menu(const DataLine& line) {
        if (line.has("caption")) {
            menu_->Caption(line.value("caption"));
        } else if (line.has("force")) {
            if (const auto force = ForceFromText(line.value("force"))) {
                menu_->Force(*force);
            }
        } else if (line.has("choice") && line.has("home")) {
            auto choice = std::make_shared<CChoice>();
            choice->Tuple(line.value("choice"), line.value("home"));
            choice->Active(!line.valueIfPresent("selected").empty());
            menu_->add(std::move(choice));
        }
    }

    void exclude(const DataLine& line) {
        if (line.has("url")) {
            auto file = std::make_shared<CFile>();
            file->URL(line.value("url"));
            catalogue_->Excluded().add(std::move(file));
        }
    }

    void settings(const DataLine& line) {
        using Setter = void (CCatalogue::*)(std::string);
        static const std::pair<std::string_view, Setter> kTexts[] = {
            {"log", &CCatalogue::Log},
            {"full_log", &CCatalogue::FullLog},
            {"full_confirmation", &CCatalogue::FullConfirmation},
            {"ein_confirmation", &CCatalogue::EinConfirmation},
            {"ein_confirmation_response", &CCatalogue::EinConfirmationResponse},
            {"ein_confirmation_response_fail", &CCatalogue::EinConfirmationResponseFail},
        };
        for (const auto& [key, setter] : kTexts) {
            if (line.has(key)) {
                (catalogue_.get()->*setter)(line.value(key));
                ++settings_;
                return;
            }
        }
        if (line.has("absolute")) {
            absolute_ = ToUpper(line.value("absolute")) == "TRUE";
            ++settings_;
        }
    }

    void special(const DataLine& line) {
        if (line.has("script")) {
            auto file = std::make_shared<CFile>();
            file->Script(line.value("script"));
            catalogue_->Special().add(std::move(file));
        } else if (line.has("url")) {
            // Special files always live below the remote root, whatever the prefix.
            auto file = std::make_shared<CFile>();
            file->Append(remote_);
            file->URL(line.value("url"));
            file->Time(line.valueIfPresent("date"));
            file->Size(line.valueIfPresent("size"));
            file->Action(line.valueIfPresent("action"));
            file->Sha256(line.valueIfPresent("sha256"));
            catalogue_->Special().add(std::move(file));
        }
    }

    const std::string& prefix_;
    const std::string& remote_;
    std::shared_ptr<CCatalogue> catalogue_;
    std::shared_ptr<CMenu> menu_;
    Section section_ = Section::Common;
    bool absolute_ = false;
    long settings_ = 0;
};

std::string_view TrimmedView(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::shared_ptr<CCatalogue> CFactory::createCatalogueFromText(const std::string& text,
                                                              const std::string& prefix,
                                                              const std::string& remote) {
    lastLineRead_ = 0;
    entriesRead_ = 0;
    if (text.empty()) {
        return nullptr;
    }
    TextParser parser(prefix, remote);
    CatalogueLineReader reader(text);
    std::string_view raw;
    while (reader.next(raw)) {
        lastLineRead_ = reader.lineNumber();
        const std::string_view line = TrimmedView(raw);
        if (line.empty() || line.front() == '\'') {
            continue;
        }
        if (const auto section = SectionHeader(line)) {
            parser.header(*section);
            continue;
        }
        // A value left open means the text was cut short inside the line (or is not a
        // catalogue): reading the rest would drop the entries the cut removed.
        if (std::count(line.begin(), line.end(), '"') % 2 != 0) {
            throw TamselError(err::InvalidArgument, "CFactory.createCatalogueFromText",
                              "line " + std::to_string(lastLineRead_) +
                                  " ends inside a quoted value (the text is cut short)");
        }
        parser.data(DataLine{line, StripQuoted(line)});
    }
    auto catalogue = parser.finish();
    entriesRead_ = parser.entries();
    return catalogue;
}

}  // namespace tamsel
