#include "script/engine/regex/Regex.h"

#include <algorithm>
#include <new>

#include "script/engine/regex/Utf16RegexTraits.h"

namespace orvet {

using Utf16Regex = boost::basic_regex<char16_t, Utf16RegexTraits>;
using Utf16Match = boost::match_results<const char16_t*>;

// How many states a search may visit before it is abandoned. The library's
// own estimate (text length times the expression's size squared, at least
// 100,000) abandons backtracking that real expressions need on short texts,
// such as /(x+x+)+y/ on twenty characters. The budget is ten million states
// (about half a second at worst) or a hundred per character of the text,
// whichever is more.
inline constexpr std::ptrdiff_t kMinStateBudget = 10'000'000;
inline constexpr std::ptrdiff_t kStatesPerCharacter = 100;

}  // namespace orvet

// The one matcher the engine uses gets the fixed budget instead of the
// estimate; everything else about the search is the library's.
template <>
void boost::BOOST_REGEX_DETAIL_NS::perl_matcher<
    const char16_t*, std::allocator<boost::sub_match<const char16_t*>>,
    orvet::Utf16RegexTraits>::estimate_max_state_count(std::random_access_iterator_tag*) {
  max_state_count = (std::max)(orvet::kMinStateBudget, orvet::kStatesPerCharacter * (last - base));
}

namespace orvet {

struct Regex::Impl {
  Utf16Regex expression;
  boost::regex_constants::match_flag_type matchFlags;
};

Regex::Regex() = default;
Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

namespace {

// The POSIX flags as the library's syntax options: extended syntax (no back
// references, no Perl extensions), code-order ranges, "\" escaping in lists
// only when asked for.
boost::regex_constants::syntax_option_type syntaxOptions(int cflags) {
  namespace rc = boost::regex_constants;
  rc::syntax_option_type options =
      (cflags & kRegExtended) ? rc::extended : rc::basic;
  if (cflags & kRegNoCollate) options &= ~rc::collate;
  if (cflags & kRegIcase) options |= rc::icase;
  if (cflags & kRegEscapeInLists) options &= ~rc::no_escape_in_lists;
  return options | rc::no_except;
}

}  // namespace

int Regex::compile(std::u16string_view pattern, int cflags) {
  impl_.reset();
  try {
    auto impl = std::make_unique<Impl>();
    const char16_t* begin = pattern.data();
    impl->expression.assign(begin, begin + pattern.size(), syntaxOptions(cflags));
    if (int status = impl->expression.status()) return status;
    impl->matchFlags = (cflags & kRegNewline) ? boost::regex_constants::match_not_dot_newline
                                             : boost::regex_constants::match_default;
    impl_ = std::move(impl);
    return kRegOk;
  } catch (const std::bad_alloc&) {
    return kRegESpace;
  } catch (const std::exception&) {
    return kRegEUnknown;
  }
}

std::size_t Regex::groupCount() const {
  return impl_ ? impl_->expression.mark_count() : 0;
}

int Regex::exec(std::u16string_view text, std::span<RegexMatch> groups, int eflags) const {
  if (!impl_) return kRegBadPat;
  auto flags = impl_->matchFlags;
  if (eflags & kRegNotBol) flags |= boost::regex_constants::match_not_bol;
  if (eflags & kRegNotEol) flags |= boost::regex_constants::match_not_eol;
  const char16_t* begin = text.data();
  Utf16Match match;
  try {
    if (!boost::regex_search(begin, begin + text.size(), match, impl_->expression, flags))
      return kRegNoMatch;
  } catch (const std::bad_alloc&) {
    return kRegESpace;
  } catch (const std::runtime_error&) {
    // The state budget or the backtracking memory ran out: the search was
    // abandoned, which is not the same as "no match".
    return kRegEComplexity;
  }
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (i < match.size() && match[i].matched) {
      groups[i] = {match[i].first - begin, match[i].second - begin};
    } else {
      groups[i] = {-1, -1};
    }
  }
  return kRegOk;
}

std::u16string regexErrorText(int code) {
  if (code < 0 || code > kRegEUnknown) code = kRegEUnknown;
  const std::string text = boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(
      static_cast<boost::regex_constants::error_type>(code));
  return std::u16string(text.begin(), text.end());
}

}  // namespace orvet
