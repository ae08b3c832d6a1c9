// The JSON dump must be valid JSON and carry the document's members under their names.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "model/dump_json.h"
#include "model/json_writer.h"
#include "support/test_support.h"

namespace paginor {
namespace {

// A strict JSON syntax check: returns the offset of the first error, or npos.
class JsonChecker {
 public:
  explicit JsonChecker(const std::string& s) : s_(s) {}
  size_t check() {
    ws();
    if (!value()) return i_;
    ws();
    return i_ == s_.size() ? std::string::npos : i_;
  }

 private:
  void ws() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  bool lit(const char* w) {
    size_t n = std::char_traits<char>::length(w);
    if (s_.compare(i_, n, w) != 0) return false;
    i_ += n;
    return true;
  }
  bool string() {
    if (s_[i_] != '"') return false;
    for (++i_; i_ < s_.size(); ++i_) {
      unsigned char c = static_cast<unsigned char>(s_[i_]);
      if (c == '"') return ++i_, true;
      if (c < 0x20) return false;
      if (c == '\\') ++i_;
    }
    return false;
  }
  bool number() {
    size_t start = i_;
    if (s_[i_] == '-') ++i_;
    while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) ||
                              s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E' || s_[i_] == '+' ||
                              s_[i_] == '-'))
      ++i_;
    return i_ > start;
  }
  bool value() {
    if (i_ >= s_.size()) return false;
    char c = s_[i_];
    if (c == '{') return container('}', true);
    if (c == '[') return container(']', false);
    if (c == '"') return string();
    if (lit("true") || lit("false") || lit("null")) return true;
    return number();
  }
  bool container(char close, bool object) {
    ++i_;
    ws();
    if (i_ < s_.size() && s_[i_] == close) return ++i_, true;
    while (true) {
      ws();
      if (object) {
        if (!string()) return false;
        ws();
        if (i_ >= s_.size() || s_[i_] != ':') return false;
        ++i_;
        ws();
      }
      if (!value()) return false;
      ws();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == close) return ++i_, true;
      if (s_[i_] != ',') return false;
      ++i_;
    }
  }
  const std::string& s_;
  size_t i_ = 0;
};

TEST(DumpJson, NewDocumentIsValidJsonWithTheMemberNames) {
  test::Fixture fx;
  test::TypeText(fx.w(), "Gr\xFC\xDF" "e \"x\"\\");
  for (bool pretty : {true, false}) {
    DumpOptions o;
    o.pretty = pretty;
    std::string json = DumpDocumentJson(fx.doc(), o);
    EXPECT_EQ(JsonChecker(json).check(), std::string::npos) << json.substr(0, 400);
    for (const char* member : {"\"fieldCount\"", "\"showOn\"", "\"endKind\"", "\"lineHeight\"",
                               "\"fontIndex\"", "\"curFontName\"", "\"templates\""})
      EXPECT_NE(json.find(member), std::string::npos) << member;
    EXPECT_NE(json.find("Grüße \\\"x\\\"\\\\"), std::string::npos) << "line text as UTF-8";
  }
}

TEST(DumpJson, WriterSeparatesMembersAndElements) {
  JsonWriter j(false);
  j.beginObject();
  j.field("a", int32_t{1});
  j.key("b");
  j.beginArray();
  j.value(2.5);
  j.value("x");
  j.beginObject();
  j.endObject();
  j.endArray();
  j.endObject();
  EXPECT_EQ(j.str(), "{\"a\":1,\"b\":[2.5,\"x\",{}]}");
}

}  // namespace
}  // namespace paginor
