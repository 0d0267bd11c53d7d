#include "terminalwindow.h"

namespace kelvane::cli {

void TerminalWindow::SetLabel1Caption(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
}

void TerminalWindow::SetGaugeProgress(int value)
{
    gauge_.SetProgress(value);
    std::fprintf(out_, "  %d/%d tables (%d%%)\n", gauge_.Progress(), gauge_.MaxValue(), gauge_.PercentDone());
}

} // namespace kelvane::cli
