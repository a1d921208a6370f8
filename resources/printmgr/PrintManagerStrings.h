#pragma once

// The print-manager library's string table: the messages it hands the
// program to show ("%1", "%2" are filled in).
namespace PrintManagerStrings {

inline constexpr char NoPrintDialog[] =
    "The print dialog cannot be shown by this program, so nothing was printed.";
inline constexpr char FileNotWritten[] = "The page could not be written to \"%1\": %2";
inline constexpr char FileReadOnly[] = "the file is read-only";
inline constexpr char PrinterFailed[] = "The page could not be printed on \"%1\": %2";
inline constexpr char PrinterNotStarted[] = "the printer did not accept the job";
inline constexpr char PrinterError[] = "the printer reported an error";
inline constexpr char LayoutLinesNotUnderstood[] =
    "These lines of the layout file \"%1\" were not understood; what they place is printed where the "
    "default layout puts it:\n%2";
inline constexpr char LayoutNotRead[] =
    "The layout file \"%1\" could not be read (%2); the page is printed with the default layout.";
inline constexpr char NotRegularFile[] = "it is not a regular file";
inline constexpr char LayoutTooLarge[] = "it is too large";

} // namespace PrintManagerStrings
