#include "platform/ScriptedMessageBoxes.h"

#include <sstream>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ScriptedMessageBoxes, AnswersInOrderThenFallsBackToEachBoxDefault) {
  std::ostringstream transcript;
  ScriptedMessageBoxes boxes(" Yes, no ,OK", transcript);
  const auto question = questionBox("Хотите выйти?", "a\nb", MessageAnswer::No);
  EXPECT_EQ(boxes.show(question), MessageAnswer::Yes);
  EXPECT_EQ(boxes.show(question), MessageAnswer::No);
  // "ok" on a yes/no box is no choice: the default answers.
  EXPECT_EQ(boxes.show(question), MessageAnswer::No);
  // The list is used up: defaults from now on.
  EXPECT_EQ(boxes.show(question), MessageAnswer::No);
  EXPECT_EQ(boxes.show(questionBox("t", "x", MessageAnswer::Yes)), MessageAnswer::Yes);
  EXPECT_EQ(boxes.show(informationBox("Pelmora", "Программа уже запущена!")), MessageAnswer::Ok);
}

TEST(ScriptedMessageBoxes, WritesOneLinePerBoxWithEscapedLineBreaks) {
  std::ostringstream transcript;
  ScriptedMessageBoxes boxes("", transcript);
  boxes.show(informationBox("Pelmora", "Программа уже запущена!"));
  boxes.show(questionBox("Хотите выйти?", "one\r\ntwo\nthree", MessageAnswer::No));
  EXPECT_EQ(transcript.str(),
            "Pelmora | Программа уже запущена!\nХотите выйти? | one\\ntwo\\nthree\n");
}

TEST(ScriptedMessageBoxes, AnOkBoxUsesUpOneWord) {
  std::ostringstream transcript;
  ScriptedMessageBoxes boxes("ok,yes", transcript);
  boxes.show(informationBox("a", "b"));
  EXPECT_EQ(boxes.show(questionBox("t", "x", MessageAnswer::No)), MessageAnswer::Yes);
}

}  // namespace
}  // namespace pelmora
