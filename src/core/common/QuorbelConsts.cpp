#include "core/common/QuorbelConsts.h"

#include <QtGlobal>

namespace QuorbelConsts {

QString SiteUrl()
{
    QString url = qEnvironmentVariable(SiteUrlVariable).trimmed();
    if (url.isEmpty())
        url = QString::fromUtf16(DefaultSiteUrl);
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

QString HelpUrl() { return SiteUrl() + QString::fromUtf16(PathHelp); }
QString ContactUrl() { return SiteUrl() + QString::fromUtf16(PathContact); }
QString UpdatesUrl() { return SiteUrl() + QString::fromUtf16(PathUpdates); }
QString MetricsUrl() { return SiteUrl() + QString::fromUtf16(PathMetrics); }
QString ProgramUrl() { return SiteUrl() + QString::fromUtf16(PathProgram); }

QString ProductTitle() { return QString::fromUtf16(ProductName) + u' ' + QString::fromUtf16(ProductVersion); }

} // namespace QuorbelConsts
