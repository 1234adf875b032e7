#include "library/Json.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Deeper than any exported bike; a hostile file cannot exhaust the stack.
constexpr int MaxDepth = 16;

class TParser {
public:
  explicit TParser(const std::string& text) : Text(text) {}

  bool Value(TJson& out, int depth) {
    if (depth > MaxDepth) return false;
    Blanks();
    if (At >= Text.size()) return false;
    const char c = Text[At];
    if (c == '{') return Object(out, depth);
    if (c == '[') return Array(out, depth);
    if (c == '"') {
      out.Kind = TJson::TKind::String;
      return String(out.String);
    }
    if (Word("true")) return out.Kind = TJson::TKind::Bool, out.Bool = true, true;
    if (Word("false")) return out.Kind = TJson::TKind::Bool, out.Bool = false, true;
    if (Word("null")) return out.Kind = TJson::TKind::Null, true;
    return Number(out);
  }
  bool AtEnd() {
    Blanks();
    return At == Text.size();
  }

private:
  void Blanks() {
    while (At < Text.size() &&
           (Text[At] == ' ' || Text[At] == '\t' || Text[At] == '\r' || Text[At] == '\n'))
      ++At;
  }
  bool Word(const char* word) {
    const std::string w = word;
    if (Text.compare(At, w.size(), w) != 0) return false;
    At += w.size();
    return true;
  }
  bool Number(TJson& out) {
    const std::size_t start = At;
    while (At < Text.size() && std::string("+-0123456789.eE").find(Text[At]) != std::string::npos)
      ++At;
    if (At == start) return false;
    const std::string number = Text.substr(start, At - start);
    char* end = nullptr;
    out.Number = std::strtod(number.c_str(), &end);
    out.Kind = TJson::TKind::Number;
    return end != nullptr && *end == '\0';
  }
  static void PutUtf8(std::string& out, unsigned point) {
    if (point < 0x80) {
      out += static_cast<char>(point);
    } else if (point < 0x800) {
      out += static_cast<char>(0xC0 | (point >> 6));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      out += static_cast<char>(0xE0 | (point >> 12));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (point >> 18));
      out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  bool Hex4(unsigned& value) {
    if (At + 4 > Text.size()) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = Text[At++];
      value <<= 4;
      if (c >= '0' && c <= '9')
        value |= unsigned(c - '0');
      else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        value |= unsigned((c | 0x20) - 'a' + 10);
      else
        return false;
    }
    return true;
  }
  bool String(std::string& out) {
    ++At; // the opening quote
    while (At < Text.size()) {
      const char c = Text[At++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (At >= Text.size()) return false;
      const char e = Text[At++];
      switch (e) {
      case '"':
      case '\\':
      case '/':
        out += e;
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        unsigned point = 0;
        if (!Hex4(point)) return false;
        if (point >= 0xD800 && point < 0xDC00) {
          unsigned low = 0;
          if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
          point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        } else if (point >= 0xDC00 && point <= 0xDFFF) {
          return false;
        }
        PutUtf8(out, point);
        break;
      }
      default:
        return false;
      }
    }
    return false;
  }
  bool Array(TJson& out, int depth) {
    out.Kind = TJson::TKind::Array;
    ++At;
    Blanks();
    if (At < Text.size() && Text[At] == ']') return ++At, true;
    for (;;) {
      TJson item;
      if (!Value(item, depth + 1)) return false;
      out.Array.push_back(std::move(item));
      Blanks();
      if (At >= Text.size()) return false;
      if (Text[At] == ']') return ++At, true;
      if (Text[At++] != ',') return false;
    }
  }
  bool Object(TJson& out, int depth) {
    out.Kind = TJson::TKind::Object;
    ++At;
    Blanks();
    if (At < Text.size() && Text[At] == '}') return ++At, true;
    for (;;) {
      Blanks();
      std::string name;
      if (At >= Text.size() || Text[At] != '"' || !String(name)) return false;
      Blanks();
      if (At >= Text.size() || Text[At++] != ':') return false;
      TJson item;
      if (!Value(item, depth + 1)) return false;
      out.Object[name] = std::move(item);
      Blanks();
      if (At >= Text.size()) return false;
      if (Text[At] == '}') return ++At, true;
      if (Text[At++] != ',') return false;
    }
  }

  const std::string& Text;
  std::size_t At = 0;
};

} // namespace

const TJson& TJson::operator[](const std::string& name) const {
  static const TJson None;
  if (Kind != TKind::Object) return None;
  const auto found = Object.find(name);
  return found == Object.end() ? None : found->second;
}

std::string TJson::Text(const std::string& name, const std::string& fallback) const {
  const TJson& member = (*this)[name];
  return member.Kind == TKind::String ? member.String : fallback;
}

std::optional<TJson> ParseJson(const std::string& text) {
  TParser parser(text);
  TJson value;
  if (!parser.Value(value, 0) || !parser.AtEnd()) return std::nullopt;
  return value;
}

std::string JsonQuote(const std::string& utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", b);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}
