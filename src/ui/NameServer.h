#pragma once

#include <string>
#include <string_view>

#include "catalogue/CCatalogue.h"
#include "engine/CMetrics.h"

namespace tamsel {

// The exchange with the name server that confirms a user's number (the EIN) and answers with
// the person's details as comma-separated key=value fields. The addresses and the marker texts
// come from the remote catalogue's settings.

// The catalogue's ein_confirmation address with every "%ein%" replaced by the number as typed.
std::string NameServerQueryUrl(const CCatalogue& remote, std::string_view ein);

// The answer holds the catalogue's valid-answer text (an empty text is held by every answer).
bool IsNameServerAnswer(const CCatalogue& remote, std::string_view answer);
// The answer holds the catalogue's incorrect-number text (an empty text is held by every answer,
// so a catalogue without that setting rejects every number).
bool IsIncorrectNumberAnswer(const CCatalogue& remote, std::string_view answer);

// The value of a field of the answer: the first occurrence of the key anywhere in the answer,
// ignoring case, then the first "=" after it, then blanks skipped; the value runs up to the next
// "," or the end. Empty when the key or the "=" is missing.
std::string NameServerField(std::string_view answer, std::string_view key);

// The person named by an answer; an empty name means the server named nobody.
struct NameServerPerson {
    std::string name;
    std::string surname;
    std::string email;

    // Name and surname with one blank between, as the settings keep the user's name.
    std::string FullName() const { return name + " " + surname; }
};
NameServerPerson ReadNameServerPerson(std::string_view answer);

// Keeps a non-empty answer for the rest of the run (the update log reports it), followed by CR LF.
void KeepNameServerAnswer(CMetrics& metrics, const std::string& answer);

}  // namespace tamsel
