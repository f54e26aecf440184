// The licence page's plain-text stand-in and keeping the sheet on the screen.

#include "view/prop_app_license.h"

#include <gtest/gtest.h>

TEST(LicenceText, KeepsTheWordsAndLinesOfTheDocumentOnly) {
  struct Case {
    const wchar_t* html;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"<html><HEAD><title>T</title><style>p{x:1}</style></HEAD><body><h1>A &amp; B</h1>\n<p>x&lt;y&gt;z</p>"
       L"</body></html>",
       L"A & B\r\nx<y>z"},
      {L"<p>one<br>two<BR/>three</p>", L"one\r\ntwo\r\nthree"},
      {L"<!-- <p>hidden</p> --><pre>\nline 1   \n\n\n\nline 2\n</pre>\n\n", L"line 1\r\n\r\nline 2"},
      {L"<script type=\"x\">alert('<p>')</script>text", L"text"},
      {L"a < b and c <3", L"a < b and c <3"},
      {L"&quot;AS IS&quot;&nbsp;&#39;x&#39; &amp;lt;", L"\"AS IS\" 'x' &lt;"},
      {L"<p>unclosed", L"unclosed"},
      {L"", L""},
  };
  for (const Case& test : cases) EXPECT_EQ(test.text, licence::TextFromHtml(test.html)) << test.html;
}

TEST(LicenceSheet, PlaceInsideMovesAsLittleAsPossible) {
  const RECT area{0, 0, 1280, 770};
  struct Case {
    RECT window;
    POINT expected;
  };
  const Case cases[] = {
      {{100, 100, 600, 500}, {100, 100}},      // inside: stays
      {{-150, -90, 350, 410}, {0, 0}},         // past the top left
      {{1000, 600, 1500, 1000}, {780, 370}},   // past the bottom right
      {{-10, 10, 1490, 900}, {0, 0}},          // larger than the area: corner on the screen
  };
  for (const Case& test : cases) {
    const POINT placed = licence::PlaceInside(test.window, area);
    EXPECT_EQ(test.expected.x, placed.x);
    EXPECT_EQ(test.expected.y, placed.y);
  }
}
