#pragma once
// Reading the two fields of an outbox message file, and the two ways of
// typing them. Pure: the caller hands in the file's bytes.
//
// Field syntax:
//  - a UTF-8 byte-order mark at the very start is skipped;
//  - blanks (space, tab) before a field are skipped;
//  - a field starting with a double quote runs to the next double quote (or
//    the end of the bytes); the quotes go, commas inside stay; whatever
//    follows the closing quote up to the next comma or line end is dropped;
//  - a field without quotes runs to the next comma or line end (CR or LF);
//  - a comma or a line end (CR LF, or a lone CR or LF) separates the fields,
//    so one line and two lines both work;
//  - anything after the second field is ignored; a missing field is empty.

#include "pure/failure.h"
#include "pure/message.h"

#include <string>
#include <string_view>

namespace qm
{

struct OutboxField {
    std::string text;
    bool quoted = false;
    bool present = false; // false when the bytes ended before this field
};

struct OutboxFields {
    OutboxField recipient;
    OutboxField message;
};

// A message file as read from disk: its fields, or why it could not be read.
struct OutboxFileRead {
    OutboxFields fields;
    MaybeFailure failure; // set when the file could not be opened or read
    std::string stamp;    // OutboxFileStamp of what was read; empty where unknown
};

OutboxFields ReadOutboxFields(std::string_view content);

// How a field becomes text. The TAP path takes every field as text. The UCP
// path takes an unquoted field that reads as a number as that number, printed
// back the way a typed number prints:
//  - a number is an optional sign, digits, and optionally "." and digits,
//    with at least one digit before the point; surrounding blanks allowed;
//  - an integer loses its plus sign and leading zeros ("0612345678" gives
//    "612345678", "+0049" gives "49", "-007" gives "-7", "000" gives "0");
//  - a decimal keeps its fraction digits as written and loses only the plus
//    sign and the integer part's leading zeros ("012.50" gives "12.50",
//    "12." gives "12");
//  - anything else stays text unchanged: "1e3", "+49 123", ".5", "12,50"
//    (the comma ends the field anyway), digit strings of any length keep
//    every digit (no rounding to a machine number).
enum class FieldTyping { Text, Typed };

std::string FieldValue(const OutboxField &field, FieldTyping typing);

// The message as the protocol routine takes it: TAP uses Text, UCP Typed.
OutboxMessage ToOutboxMessage(const OutboxFields &fields, FieldTyping typing);

} // namespace qm
