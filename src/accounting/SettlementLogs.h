#pragma once

#include <string>

namespace pelmora {

// Where a settled connection is written down: the connection log and the account log. The real
// writers live with the files; the metering only calls them.
class SettlementLogs {
 public:
  virtual ~SettlementLogs() = default;
  // Appends the connection's summary entry to the connection log: summaryLineText(...) followed
  // by two line ends.
  virtual void appendSummary(const std::string& durationText, const std::string& costText,
                             char unitLetter) = 0;
  // Replaces the account log with the new balance text (major units).
  virtual void rewriteAccountLog(const std::string& balanceText) = 0;
};

// The summary entry without its line ends: nine blanks, "= ", the duration as the status window
// shows it, " + [", the first 8 characters of the cost text (minor units), the unit letter
// ('c' or 'k') and "]".
inline std::string summaryLineText(const std::string& durationText, const std::string& costText,
                                   char unitLetter) {
  return "         = " + durationText + " + [" + costText.substr(0, 8) + unitLetter + "]";
}

}  // namespace pelmora
