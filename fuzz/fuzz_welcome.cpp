// Welcome expansion (template x name x join record) and the rule response's %NAME%.
#include "FuzzSupport.h"
#include "fx/Sjis.h"
#include "handlers/AutoReact.h"
#include "handlers/RuleMatcher.h"
#include "handlers/Welcome.h"

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
  // The line prepared once for the whole rule table gives the same answers.
  fuzz::Check(pellix::RuleMatcher(name).Matches(keyword) == matches, "prepared line differs from the search", keyword);
  fuzz::Check(pellix::RuleMatcher(welcomeTemplate).Matches(name) == pellix::RuleMatches(welcomeTemplate, name),
              "prepared line differs from the search", name);
  return 0;
}
