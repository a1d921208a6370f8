#pragma once

// The print-manager library's string table: the messages it hands the
// program to show ("%1", "%2" are filled in).
namespace PrintManagerStrings {

inline constexpr char NoPrintDialog[] =
    "The print dialog cannot be shown by this program, so nothing was printed.";
inline constexpr char FileNotWritten[] = "The page could not be written to \"%1\": %2";
inline constexpr char FileReadOnly[] = "the file is read-only";
inline constexpr char PrinterFailed[] = "The page could not be printed on \"%1\": %2";
inline constexpr char LayoutLinesNotUnderstood[] =
    "These lines of the layout file \"%1\" were not understood; what they place is printed where the "
    "default layout puts it:\n%2";
inline constexpr char LayoutNotRead[] =
    "The layout file \"%1\" could not be read (%2); the page is printed with the default layout.";
inline constexpr char NotRegularFile[] = "it is not a regular file";
inline constexpr char IsLayoutFile[] = "it is the layout file";
inline constexpr char NotWrittenWhole[] = "it could not be written whole";
inline constexpr char CannotCreate[] = "the file cannot be created";
inline constexpr char LayoutMoreLines[] = "and %1 more";
inline constexpr char LayoutShrunk[] =
    "The layout in \"%1\" does not fit this page of %2 x %3 mm; it is printed shrunk to fit.";
inline constexpr char LayoutReplaced[] =
    "The layout in \"%1\" does not fit this page of %2 x %3 mm; the page is printed with its default layout.";
inline constexpr char LayoutTooLarge[] = "it is too large";

} // namespace PrintManagerStrings
