#include "platform/WindowsCommandLine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace pelmora {
namespace {

TEST(WindowsCommandLine, QuotesOnlyWhatTheRuntimeWouldSplitOrStrip) {
  EXPECT_EQ(quoteWindowsArgument("/reboot"), "/reboot");
  EXPECT_EQ(quoteWindowsArgument(R"(C:\dir\file.txt)"), R"(C:\dir\file.txt)");
  EXPECT_EQ(quoteWindowsArgument(""), R"("")");
  EXPECT_EQ(quoteWindowsArgument("two words"), R"("two words")");
  EXPECT_EQ(quoteWindowsArgument("tab\there"), "\"tab\there\"");
  // Backslashes matter only before a quotation mark, the closing one included.
  EXPECT_EQ(quoteWindowsArgument(R"(C:\My Files\a b)"), R"("C:\My Files\a b")");
  EXPECT_EQ(quoteWindowsArgument(R"(C:\My Files\)"), R"("C:\My Files\\")");
  EXPECT_EQ(quoteWindowsArgument(R"(say "hi")"), R"("say \"hi\"")");
  EXPECT_EQ(quoteWindowsArgument(R"(a\"b)"), R"("a\\\"b")");
  EXPECT_EQ(quoteWindowsArgument(R"(x"y)"), R"("x\"y")");
}

TEST(WindowsCommandLine, TheProgramPathIsQuotedWhenItHasBlanks) {
  EXPECT_EQ(windowsCommandLine(R"(C:\Program Files\Pelmora\Pelmora.exe)", {"/reboot"}),
            R"("C:\Program Files\Pelmora\Pelmora.exe" /reboot)");
  EXPECT_EQ(windowsCommandLine(R"(C:\Pelmora\Pelmora.exe)", {"/reboot"}),
            R"(C:\Pelmora\Pelmora.exe /reboot)");
  EXPECT_EQ(windowsCommandLine("notepad.exe", {R"(C:\Program Files\Pelmora\Internet.LOG)"}),
            R"(notepad.exe "C:\Program Files\Pelmora\Internet.LOG")");
}

TEST(WindowsCommandLine, TheLongestExistingPathIsTheStoredLinesProgram) {
  const std::set<std::string> files = {
      R"(C:\PROGRAM FILES\INTERNET EXPLORER\IEXPLORE.EXE)",
      R"(C:\PROGRAM)",  // a planted file must not win over the real program
      R"(C:\Tools\ping.exe)",
      R"(C:\My Sounds\player with blanks.exe)",
  };
  auto isFile = [&](const std::string& path) { return files.count(path) > 0; };

  EXPECT_EQ(quoteProgramOfCommandLine(
                R"(C:\PROGRAM FILES\INTERNET EXPLORER\IEXPLORE.EXE https://example.org/)", isFile),
            R"("C:\PROGRAM FILES\INTERNET EXPLORER\IEXPLORE.EXE" https://example.org/)");
  EXPECT_EQ(quoteProgramOfCommandLine(R"(  C:\My Sounds\player with blanks.exe  )", isFile),
            R"("C:\My Sounds\player with blanks.exe")");
  EXPECT_EQ(quoteProgramOfCommandLine(R"(C:\Tools\ping.exe  -n 3 host)", isFile),
            R"(C:\Tools\ping.exe  -n 3 host)");
  // Already quoted, or left to the system's search on its path.
  EXPECT_EQ(quoteProgramOfCommandLine(R"("C:\Any Where\x.exe" /a)", isFile),
            R"("C:\Any Where\x.exe" /a)");
  EXPECT_EQ(quoteProgramOfCommandLine(R"(notepad.exe C:\Pelmora\Internet.LOG)", isFile),
            R"(notepad.exe C:\Pelmora\Internet.LOG)");
  EXPECT_EQ(quoteProgramOfCommandLine("   ", isFile), "");
}

}  // namespace
}  // namespace pelmora
