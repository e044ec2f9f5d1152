// Chat values written into HTML log lines, so that a chat user cannot inject markup.
#pragma once

#include <string>
#include <string_view>

namespace pellix {

// Replaces & < > " with their character references; every other byte is kept.
std::string HtmlEscape(std::string_view text);
// As HtmlEscape, appending to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace pellix
