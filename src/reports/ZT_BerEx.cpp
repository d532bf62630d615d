#include "reports/ZT_BerEx.h"

#include <array>

TBer_Export Ber_Intf;

namespace {

std::array<TReportFactory, ReportKindCount>& Factories()
{
    static std::array<TReportFactory, ReportKindCount> factories;
    return factories;
}

} // namespace

TReportFactory RegisterReportFactory(uint8_t kind, TReportFactory factory)
{
    if (kind >= ReportKindCount)
        return {};
    TReportFactory previous = std::move(Factories()[kind]);
    Factories()[kind] = std::move(factory);
    return previous;
}

TReportFactory ReportFactory(uint8_t kind)
{
    return kind < ReportKindCount ? Factories()[kind] : TReportFactory{};
}

TScopedReportFactory::TScopedReportFactory(uint8_t kind, TReportFactory factory)
    : kind_(kind), saved_(RegisterReportFactory(kind, std::move(factory)))
{
}

TScopedReportFactory::~TScopedReportFactory()
{
    RegisterReportFactory(kind_, std::move(saved_));
}

TBer_Export::~TBer_Export()
{
    Done();
}

void TBer_Export::Init(const QString& title, const QString& fileName, uint8_t kind, TReportCallback callback)
{
    const TReportFactory factory = ReportFactory(kind);
    if (!factory)
        return;
    Done();
    report_ = factory(title.left(ReportTitleCapacity), fileName, callback);
}

void TBer_Export::Done()
{
    std::unique_ptr<TBer_Intf_Basis> report = std::move(report_);
    try {
        report.reset();
    } catch (...) {
        // Freeing a report never fails for the caller.
    }
}
