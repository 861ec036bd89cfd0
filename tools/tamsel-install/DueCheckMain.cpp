#include <iostream>
#include <string>

#include "DueCheck.h"

// Run daily by the user's timer (or once at login): starts the kit's background update when the
// kit's schedule says it is due.
int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::cerr << "Usage: tamsel-due-check KIT_FOLDER\n"
                     "Starts 'KIT_FOLDER/Updater/tamsel-updater /SILENT' when the RunAtDate= line"
                     " of the kit's tamsel.ini says a background run is due.\n";
        return 2;
    }
    return tamsel::desktop::RunDueCheck(argv[1], tamsel::Now(), tamsel::desktop::ExecProgram,
                                        std::cout, std::cerr);
}
