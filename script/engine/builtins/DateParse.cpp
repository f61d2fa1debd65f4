#include "script/engine/builtins/DateParse.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "script/engine/builtins/DateCalendar.h"

namespace orvet {

namespace {

enum class WordAction { Am, Pm, WeekDay, Month, Zone };

struct Word {
  std::string_view name;
  WordAction action;
  int value;  // month number or zone offset in minutes west
};

// Searched from the last entry to the first: a word is taken by the latest
// entry it is a prefix of ("ma" gives "may", not "march").
constexpr std::array<Word, 32> kWords = {{
    {"am", WordAction::Am, 0},         {"pm", WordAction::Pm, 0},
    {"monday", WordAction::WeekDay, 0}, {"tuesday", WordAction::WeekDay, 0},
    {"wednesday", WordAction::WeekDay, 0}, {"thursday", WordAction::WeekDay, 0},
    {"friday", WordAction::WeekDay, 0}, {"saturday", WordAction::WeekDay, 0},
    {"sunday", WordAction::WeekDay, 0}, {"january", WordAction::Month, 0},
    {"february", WordAction::Month, 1}, {"march", WordAction::Month, 2},
    {"april", WordAction::Month, 3},   {"may", WordAction::Month, 4},
    {"june", WordAction::Month, 5},    {"july", WordAction::Month, 6},
    {"august", WordAction::Month, 7},  {"september", WordAction::Month, 8},
    {"october", WordAction::Month, 9}, {"november", WordAction::Month, 10},
    {"december", WordAction::Month, 11}, {"gmt", WordAction::Zone, 0},
    {"ut", WordAction::Zone, 0},       {"utc", WordAction::Zone, 0},
    {"est", WordAction::Zone, 300},    {"edt", WordAction::Zone, 240},
    {"cst", WordAction::Zone, 360},    {"cdt", WordAction::Zone, 300},
    {"mst", WordAction::Zone, 420},    {"mdt", WordAction::Zone, 360},
    {"pst", WordAction::Zone, 480},    {"pdt", WordAction::Zone, 420},
}};

constexpr int kUnset = -1;

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool isBlankOrControl(unsigned char c) { return c <= ' '; }

bool isPrefixIgnoringCase(std::string_view word, std::string_view name) {
  if (word.size() > name.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if ((static_cast<unsigned char>(word[i]) | 0x20) != name[i]) return false;
  }
  return true;
}

const Word* lookUpWord(std::string_view word) {
  for (auto it = kWords.rbegin(); it != kWords.rend(); ++it)
    if (isPrefixIgnoringCase(word, it->name)) return &*it;
  return nullptr;
}

class DateTextParser {
 public:
  DateTextParser(std::string_view text, double localTZA) : text_(text), localTZA_(localTZA) {}

  std::optional<double> parse() {
    while (pos_ < text_.size()) {
      if (!step()) return std::nullopt;
    }
    if (year_ == kUnset || month_ == kUnset || day_ == kUnset) return std::nullopt;
    double t = makeDate(year_, month_, day_, orZero(hour_), orZero(minute_), orZero(second_), 0);
    return t + (zone_ ? *zone_ * kMsPerMinute : localTZA_);
  }

 private:
  static int orZero(int slot) { return slot == kUnset ? 0 : slot; }

  unsigned char at(std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
  }
  bool atEnd(std::size_t i) const { return i >= text_.size(); }

  bool step() {
    unsigned char c = at(pos_);
    if (isBlankOrControl(c) || c == ',' || c > 127) {
      ++pos_;
      return true;
    }
    if (c == '(') {
      skipComment();
      return true;
    }
    if (c == '-' && !isDigit(at(pos_ + 1))) {
      ++pos_;
      return true;
    }
    if (c == '-' || c == '+' || c == '/' || c == ':') {
      separator_ = static_cast<char>(c);
      ++pos_;
      return true;
    }
    if (isDigit(c)) return number();
    return word();
  }

  void skipComment() {
    int depth = 0;
    do {
      unsigned char c = at(pos_++);
      if (c == '(') ++depth;
      else if (c == ')') --depth;
    } while (depth > 0 && !atEnd(pos_));
  }

  // A byte that may follow a year.
  bool endsYear(std::size_t i) const {
    unsigned char c = at(i);
    return atEnd(i) || isBlankOrControl(c) || c == ',' || c == '/';
  }

  bool setYear(int n, std::size_t after) {
    if (!endsYear(after)) return false;
    year_ = n >= 100 ? n : 1900 + n;
    return true;
  }

  bool number() {
    // Long digit runs saturate: any such value is out of every range below.
    std::int64_t value = 0;
    while (isDigit(at(pos_))) {
      if (value < 100000000) value = value * 10 + (at(pos_) - '0');
      ++pos_;
    }
    int n = static_cast<int>(value);
    bool ok = assignNumber(n);
    separator_ = 0;
    return ok;
  }

  bool assignNumber(int n) {
    const unsigned char c = at(pos_);
    const bool end = atEnd(pos_);
    if (separator_ == '+' || separator_ == '-') {
      int minutes = n > 23 ? n % 100 + (n / 100) * 60 : n * 60;
      if (zone_ && *zone_ != 0) return false;
      zone_ = separator_ == '+' ? -minutes : minutes;
      signSeen_ = true;
      return true;
    }
    if (n >= 70) {
      if (year_ != kUnset) return false;
      return setYear(n, pos_);
    }
    if (separator_ == '/' && month_ != kUnset && day_ != kUnset && year_ == kUnset)
      return setYear(n, pos_);
    if (c == ':') return fillFirstUnset({&hour_, &minute_}, n);
    if (c == '/') {
      if (month_ == kUnset) {
        month_ = n - 1;
        return true;
      }
      return fillFirstUnset({&day_}, n);
    }
    if (!(end || isBlankOrControl(c) || c == ',' || c == '-' || c > 127)) return false;
    if (signSeen_ && n < 60) {
      *zone_ += *zone_ < 0 ? -n : n;
      return true;
    }
    if (hour_ != kUnset) return fillFirstUnset({&minute_, &second_, &day_}, n);
    if (minute_ != kUnset && second_ == kUnset) {
      second_ = n;
      return true;
    }
    return fillFirstUnset({&day_}, n);
  }

  bool fillFirstUnset(std::initializer_list<int*> slots, int n) {
    for (int* slot : slots) {
      if (*slot == kUnset) {
        *slot = n;
        return true;
      }
    }
    return false;
  }

  bool word() {
    std::size_t start = pos_++;
    while (isLetter(at(pos_))) ++pos_;
    if (pos_ - start == 1) return false;
    const Word* entry = lookUpWord(text_.substr(start, pos_ - start));
    if (!entry) return false;
    switch (entry->action) {
      case WordAction::Am:
      case WordAction::Pm:
        if (hour_ == kUnset || hour_ > 12) return false;
        if (entry->action == WordAction::Am && hour_ == 12) hour_ = 0;
        if (entry->action == WordAction::Pm && hour_ != 12) hour_ += 12;
        return true;
      case WordAction::WeekDay:
        return true;
      case WordAction::Month:
        if (month_ != kUnset) return false;
        month_ = entry->value;
        return true;
      case WordAction::Zone:
        zone_ = entry->value;
        return true;
    }
    return false;
  }

  std::string_view text_;
  double localTZA_;
  std::size_t pos_ = 0;
  int year_ = kUnset, month_ = kUnset, day_ = kUnset;
  int hour_ = kUnset, minute_ = kUnset, second_ = kUnset;
  std::optional<int> zone_;  // minutes west of Greenwich
  bool signSeen_ = false;
  char separator_ = 0;
};

}  // namespace

std::optional<double> parseDateText(std::string_view text, double localTZA) {
  return DateTextParser(text, localTZA).parse();
}

}  // namespace orvet
