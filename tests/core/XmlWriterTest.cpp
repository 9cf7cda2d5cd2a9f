// tests/core/XmlWriterTest.cpp - the layout and escaping every XML export and the picture share
#include <gtest/gtest.h>

#include <string>

#include "core/XmlWriter.h"

namespace pexol {
namespace {

using namespace std::string_literals;

TEST(XmlWriterTest, OneElementALineIndentedASpaceALevelTextOnItsElementsLine) {
  XmlWriter xml;
  xml.DocType("xmeml");
  xml.Open("xmeml");
  xml.Attribute("version", 4);
  xml.Open("sequence");
  xml.Element("name", "demo");
  xml.Open("rate");
  xml.Element("timebase", 30);
  xml.Close();
  xml.Open("empty");
  xml.Close();
  xml.Element("blank", "");
  xml.Property("length", -2);
  EXPECT_EQ(xml.Finish(),  // the open elements closed by Finish, the last line ended
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE xmeml>\n"
            "<xmeml version=\"4\">\n"
            " <sequence>\n"
            "  <name>demo</name>\n"
            "  <rate>\n"
            "   <timebase>30</timebase>\n"
            "  </rate>\n"
            "  <empty/>\n"
            "  <blank></blank>\n"
            "  <property name=\"length\">-2</property>\n"
            " </sequence>\n"
            "</xmeml>\n");
}

TEST(XmlWriterTest, EscapesValuesAndWritesWhatXmlCannotHoldAsReplacementCharacters) {
  XmlWriter xml;
  xml.BlankLine();
  xml.Open("svg");
  // A NUL inside the value goes on too: nothing after it is lost.
  xml.Attribute("a", "<&>\"'\t\n\r\x01"s + '\0' + "\xE6\x97\xA5");
  xml.Text("<&>\"'\t\n\r\x1F\x7F");
  EXPECT_EQ(xml.Finish(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
            "<svg a=\"&lt;&amp;&gt;&quot;'&#9;&#10;&#13;\xEF\xBF\xBD\xEF\xBF\xBD\xE6\x97\xA5\">"
            "&lt;&amp;&gt;&quot;'\t\n&#13;\xEF\xBF\xBD\x7F</svg>\n");
}

// Misuse is a programming error: it stops a build with assertions and is left out otherwise,
// so that a document is never cut short by an exception.
#ifdef NDEBUG
TEST(XmlWriterTest, MisuseWritesNothing) {
  XmlWriter xml;
  xml.Close();
  xml.Text("lost");
  xml.Open("a");
  xml.Text("x");
  xml.Attribute("late", "lost");
  xml.Close();
  xml.Open("second");
  xml.Attribute("root", "lost");
  xml.Close();
  xml.DocType("late");
  xml.BlankLine();
  EXPECT_EQ(xml.Finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>x</a>\n");
}
#else
TEST(XmlWriterDeathTest, MisuseAsserts) {
  EXPECT_DEATH(XmlWriter().Close(), "no element to close");
  EXPECT_DEATH(
      {
        XmlWriter xml;
        xml.Open("a");
        xml.Text("x");
        xml.Attribute("late", "lost");
      },
      "before the content");
}
#endif

}  // namespace
}  // namespace pexol
