// Form definitions as text: the reader builds a component tree from it (creating components by
// class name and assigning published properties), the writer produces it from a tree.
//
// Grammar (whitespace, including line breaks, separates tokens; there are no comments):
//
//   form       = object
//   object     = ("object" | "inherited") [ name ":" ] classname { property } { object } "end"
//   property   = path "=" value
//   path       = ident { "." ident }               nested objects: Font.Name, Lines.Strings
//   value      = integer | string | ident | set | list | binary | collection
//   integer    = [ "-" ] digits | [ "-" ] "$" hexdigits
//   string     = piece { piece } { "+" piece { piece } }
//   piece      = "'" { any byte but "'" | "''" } "'"  |  "#" digits
//   ident      = letter-or-"_" { letter | digit | "_" }    True/False, enumeration members,
//                                                           colour names, handler names
//   set        = "[" [ ident { "," ident } ] "]"
//   list       = "(" { string } ")"                          lines of a string list
//   binary     = "{" { hexdigit-pair } "}"                   bytes handed to ReadBinaryProperty
//   collection = "<" { "item" { property } "end" } ">"      items of a TCollection property
//
// "#n" is one UTF-16 code unit, so non-ASCII text survives any code page; quoted bytes are in the
// ANSI code page, or UTF-8 when the text starts with a UTF-8 byte order mark. Strings become
// ANSI strings when read. Event properties take the name of a method the root's class publishes;
// an object whose name matches a published field of the root is stored in that field. After
// the whole text is read, Loaded is called on every component in creation order.
#pragma once

#include "ui/classes.h"

#include <windows.h>

#include <string>

namespace wl {

// A form definition that cannot be read: names the form, the line and the property.
class EFormError : public Exception {
public:
    using Exception::Exception;
};

// Reads a definition into an existing root (a form): its class must be the root's class or an
// ancestor of it. `formName` names the source in error messages.
void ReadComponentText(TComponent& root, const std::string& text, const std::string& formName);
// Creates the root by class name (owned by `owner`) and reads it; the caller owns the result
// when owner is null.
TComponent* CreateComponentFromText(const std::string& text, TComponent* owner,
                                    const std::string& formName);
// The definition of `root` and everything it owns. Only properties whose value differs from a
// fresh instance of the class are written.
std::string WriteComponentText(TComponent& root);

// The RCDATA resource `resourceName` of `instance` read into `root`; false when there is none.
bool ReadComponentResource(TComponent& root, HINSTANCE instance, const std::string& resourceName);

// Quoting of one string value as the writer does it ('it''s'#13#10#20013).
std::string QuoteFormString(const std::string& ansi);

} // namespace wl
