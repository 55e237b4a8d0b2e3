// SPDX-License-Identifier: MIT
#pragma once

// The tool's own texts in the user's language. Reports mix them with the system's own
// descriptions (strerror), which come in the locale's encoding; so do these.

#include <initializer_list>
#include <string>
#include <string_view>

class QTranslator;

namespace vexalo {

// The tool's catalogue; empty (every text as written) until LoadCatalogue finds one.
QTranslator& Catalogue();

// Loads the catalogue for the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as Qt
// reads them) from `folder`, in the file system or among Qt's resources (":/i18n"). Returns
// whether there was one.
bool LoadCatalogue(const std::string& folder);

// Returns `text` of `context` from the catalogue, in the locale's encoding.
std::string Translate(const char* context, const char* text);

// Returns `pattern` with %1, %2, ... replaced by `arguments` as they are: names are the
// system's bytes.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> arguments);

} // namespace vexalo
