#include "ui/LegalLabel.h"

#include "engine/Version.h"

namespace tamsel {

void ShowLegalNotice(Label& lblLegal) {
    lblLegal.SetCaption(LegalCaption());
    lblLegal.SetUseMnemonic(false);
}

}  // namespace tamsel
