#pragma once
// Where finished reports go: the word-processor and spreadsheet back ends
// build their document in memory and, when the report is shown, write it into
// a file of its own in the folder "Berichte" of the user's temporary folder and
// open it with the desktop's program for that type (through the document
// opener of the hooks). The files stay: the user may still have them open.
#include <QString>

#include <stdexcept>
#include <string>

namespace reports {

// A report file that cannot be written (SaveToFile passes it to the caller,
// as the export expects of a failing target).
class EReportFileError : public std::runtime_error {
public:
    explicit EReportFileError(const std::string& what) : std::runtime_error(what) {}
};

// The folder for report files, created when missing (mode 0700 below the
// per-user temporary folder); ends in '/'; empty when it cannot be made.
QString ReportDirectory();

// Creates a new empty file with a name no other file there has
// ("Bericht-20261209-081502-1.rtf") and answers its path; empty when no file
// can be created (the reason in *error).
QString CreateUniqueReportFile(const QString& extension, QString* error = nullptr);

// Hands a written report to the desktop; false when it could not be opened.
bool OpenReportDocument(const QString& path);

// The message for a file that was written but that no program opened: it
// names the file with its full path, so the user can find it.
QString NotOpenedText(const QString& path);

// Hands a written report or export file to the desktop; when no program
// opened it, one message (NotOpenedText) says where the file is. Answers
// whether a program opened it.
bool PresentReportFile(const QString& path);

} // namespace reports
