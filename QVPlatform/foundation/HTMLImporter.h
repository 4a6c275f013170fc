// HTMLImporter: the plain text of an HTML document, as the platform's attributed-text
// importer shows it: character references resolved, markup dropped, the contents of
// <head>, <script> and <style> left out, blocks (p, div, li, headings, rows) and <br> ending
// a line, runs of blanks in text collapsed to one space (except inside <pre>).
//
//   plainTextOfHTML("<p>a &amp; <b>b</b></p>");   // "a & b"
//   plainTextOfHTML("&#x4e2d;&lt;");              // "中<"
//
// The bytes are read as UTF-8. Trailing line breaks are dropped. Absent only when the
// parser produces no document for a non-empty input. Thread rule: callable from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::string> plainTextOfHTML(std::string_view html);

}  // namespace platform
