#pragma once
// The report chooser: creates the back end of a kind into the one global
// Ber_Intf and frees it again.
//
// Kinds: 0 the built-in editor, 1 the word processor, 2 the spreadsheet. The
// back ends register a factory for their kind (RegisterReportFactory, done by
// InstallReportBackends at program start); a kind with no factory, or any
// other kind, creates nothing.
#include "reports/ZT_BerBs.h"

#include <memory>

using TReportFactory = std::function<std::unique_ptr<TBer_Intf_Basis>(
    const QString& title, const QString& fileName, const TReportCallback& callback)>;

constexpr uint8_t ReportKindEditor = 0;
constexpr uint8_t ReportKindWordProcessor = 1;
constexpr uint8_t ReportKindSpreadsheet = 2;
constexpr uint8_t ReportKindCount = 3;

// Installs (or, with an empty factory, removes) the factory of a kind 0..2 and
// answers the one it replaced. Other kinds are ignored.
TReportFactory RegisterReportFactory(uint8_t kind, TReportFactory factory);
// The factory of a kind (empty when none).
TReportFactory ReportFactory(uint8_t kind);

// Registers every back end built into the program. Called once by the main
// block; calling it again registers the same factories again.
void InstallReportBackends();

// For tests: installs a factory for a kind for its lifetime.
class TScopedReportFactory {
public:
    TScopedReportFactory(uint8_t kind, TReportFactory factory);
    ~TScopedReportFactory();
    TScopedReportFactory(const TScopedReportFactory&) = delete;
    TScopedReportFactory& operator=(const TScopedReportFactory&) = delete;

private:
    uint8_t kind_;
    TReportFactory saved_;
};

class TBer_Export {
public:
    TBer_Export() = default;
    ~TBer_Export();
    TBer_Export(const TBer_Export&) = delete;
    TBer_Export& operator=(const TBer_Export&) = delete;

    // Creates the back end of kind with (title, fileName, callback). A kind
    // without a factory creates nothing and leaves the chooser as it was. An
    // exception of the back end's constructor passes on to the caller (the
    // chooser then holds what it held before). A report still held is freed
    // first (callers call Done before; this keeps a forgotten one from
    // leaking).
    void Init(const QString& title, const QString& fileName, uint8_t kind, TReportCallback callback);
    // Destroys the current report object; never raises.
    void Done();

    // The current report object, or nullptr.
    TBer_Intf_Basis* Report() const { return report_.get(); }
    bool HasReport() const { return report_ != nullptr; }
    TBer_Intf_Basis* operator->() const { return report_.get(); }

private:
    std::unique_ptr<TBer_Intf_Basis> report_;
};

extern TBer_Export Ber_Intf;
