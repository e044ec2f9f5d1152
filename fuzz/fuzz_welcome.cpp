// Welcome expansion (template x name x join record), the rule response's %NAME%, and the
// keyword automaton of the rule table against the character-wise search.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "fx/Sjis.h"
#include "handlers/AutoReact.h"
#include "handlers/RuleMatcher.h"
#include "handlers/Welcome.h"

namespace {

// Every rule of the table answers exactly when the character-wise search finds its keyword.
// The matcher and its result are reused from line to line, as the plug-in reuses them.
void CheckTable(const std::vector<std::string>& keywords, const std::vector<std::string>& lines) {
  pellix::RuleMatcher matcher(keywords);
  std::vector<char> matched;
  for (const std::string& line : lines) {
    matcher.Match(line, matched);
    fuzz::Check(matched.size() == keywords.size(), "a result per rule");
    for (std::size_t i = 0; i < keywords.size(); ++i) {
      fuzz::Check((matched[i] != 0) == pellix::RuleMatches(line, keywords[i]), "the automaton differs from the search",
                  keywords[i]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Fields fields(data, size);
  const unsigned a = fields.Byte(), b = fields.Byte(), c = fields.Byte(), d = fields.Byte();
  const std::string welcomeTemplate(fields.Next());
  const std::string name(fields.Next());
  const JoinUserInfo info{name.c_str(), a | (b << 8) | (c << 16) | (d << 24u), static_cast<std::uint16_t>(a * 257 + c),
                          static_cast<std::uint16_t>(b % 12), static_cast<std::uint16_t>(d * 3)};
  const bool wellFormed = fuzz::WholeCharacters(welcomeTemplate) && fuzz::WholeCharacters(name);

  const std::string welcome = pellix::ExpandWelcome(welcomeTemplate, info);
  fuzz::Check(welcome.size() <= pellix::kWelcomeMaxBytes, "welcome longer than its limit", welcome);
  if (wellFormed) fuzz::Check(fuzz::WholeCharacters(welcome), "welcome cut inside a character", welcome);

  const std::string response = pellix::ExpandResponse(welcomeTemplate, name);
  fuzz::Check(response.size() <= pellix::kResponseMaxBytes, "response longer than its limit", response);
  if (wellFormed) fuzz::Check(fuzz::WholeCharacters(response), "response cut inside a character", response);
  if (!fx::sjis::ContainsNoCase(welcomeTemplate, "%NAME%")) {
    fuzz::Check(response == fx::sjis::Cut(welcomeTemplate, pellix::kResponseMaxBytes), "response changed without %NAME%");
  }

  // A rule matches exactly when its keyword is found as whole characters, letter case ignored.
  const std::string_view keyword = fields.Next();
  const bool matches = pellix::RuleMatches(name, keyword);
  fuzz::Check(matches == (!keyword.empty() && fx::sjis::ContainsNoCase(name, keyword)), "rule match differs from the search",
              keyword);
  // The automaton over a whole table gives the same answers, rule by rule; and a table whose
  // rows are edited between two lines (one changed, one deleted, one added) is matched as it
  // stands after the edit.
  std::vector<std::string> keywords{std::string(keyword), name, welcomeTemplate};
  for (unsigned i = 0, more = fields.Byte() % 8; i < more; ++i) keywords.emplace_back(fields.Next());
  const std::vector<std::string> lines{name, welcomeTemplate, std::string(fields.Next()), std::string(keyword)};
  CheckTable(keywords, lines);
  const unsigned edit = fields.Byte();
  keywords[edit % keywords.size()] = std::string(fields.Next());
  keywords.erase(keywords.begin() + static_cast<std::ptrdiff_t>((edit / 16) % keywords.size()));
  keywords.insert(keywords.begin() + static_cast<std::ptrdiff_t>(fields.Byte() % (keywords.size() + 1)),
                  std::string(fields.Next()));
  CheckTable(keywords, lines);
  return 0;
}
