// kelvane-convert SOURCE_DIR DEST.pas: writes the unit that recreates the tables of SOURCE_DIR.

#include "conversionrun.h"
#include "paradoxtable.h"
#include "terminalwindow.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char usage[] =
    "Usage: kelvane-convert SOURCE_DIR DEST.pas\n"
    "\n"
    "Reads the structure of every Paradox table (*.db) in SOURCE_DIR and writes DEST.pas,\n"
    "a Pascal unit whose CreateDataBase(Directory) recreates those tables, empty.\n"
    "An existing DEST.pas is replaced. Status and progress go to standard output;\n"
    "an error goes to standard error and the exit code is 1.\n";

// The window's error report adds a full stop after a message that does not end in one.
std::string reportText(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    kelvane::cli::TerminalWindow window(argv[1], argv[2], stdout);
    kelvane::conversion::ParadoxTable table;
    kelvane::conversion::ConversionRun run(window, table);
    try {
        run.SpeedButton4Click();
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "kelvane-convert: %s\n", reportText(error.what()).c_str());
        return 1;
    }
    return 0;
}
