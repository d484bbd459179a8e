#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The page of the diagnostic dialog that follows the fatal countdown: the error in English
// and Arabic, the diagnostic code with a copy button, and a close button; it sizes itself to
// 700 x 580 and centres itself. Title, texts and code are HTML-escaped: the code may carry a
// host name and the texts a server's words, neither of which may add markup or script.
std::u16string BuildDiagnosticDocument(std::u16string_view title, std::u16string_view englishText,
                                       std::u16string_view arabicText, std::string_view code);

// The Windows command line that shows that page in the system's HTML application host:
// mshta "about:<document>". Escaping keeps double quotation marks out of the document, so the
// quoted argument cannot end early.
std::u16string BuildDiagnosticCommandLine(std::u16string_view title,
                                          std::u16string_view englishText,
                                          std::u16string_view arabicText, std::string_view code);

}  // namespace kestrum
