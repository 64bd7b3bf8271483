#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Pictures of a creature carry its creature code (model/CreatureCode.h), so that opening the
// picture can give the creature back. A PNG holds it in a tEXt chunk, an SVG in its
// <metadata>. The readers return the code's text as stored; CCreatureCode::Decode reads it.

// The PNG keyword and the SVG element name.
inline constexpr const char* kPictureCodeKeyword = "Quorvale-Code";
inline constexpr const char* kSvgCodeElement = "quorvale:creature-code";
inline constexpr const char* kSvgCodeNamespace = "urn:x-quorvale:creature";
// Stored codes longer than this are not taken: no code is this long.
inline constexpr size_t kMaxStoredCodeLength = 1024;

// Puts a tEXt chunk with the code right after the PNG's header chunk, where readers meet it
// before the image data. Returns false, leaving the bytes alone, when they do not start with
// a PNG signature and header chunk, or the code is empty, too long or not printable ASCII.
bool AddCodeToPng(std::vector<uint8_t>& png, std::string_view code);

// The code in the first good chunk that carries one (tEXt, or iTXt left uncompressed, under
// kPictureCodeKeyword, with a correct CRC), or nothing. Reads only within the bytes given and
// stops at the first chunk that does not fit them; never fails otherwise.
std::optional<std::string> FindCodeInPng(const uint8_t* data, size_t size);

// The <metadata> element that carries the code, one line with its line break.
std::string SvgCodeMetadata(std::string_view code);
// The code inside the first <metadata> element that holds the code element, trimmed; or
// nothing.
std::optional<std::string> FindCodeInSvg(std::string_view svg);
