#include "common/conversionstatus.h"

namespace Corvane {

QString statusMessage(ConversionStatus status)
{
    switch (status) {
    case ConversionStatus::Converted:
        return QStringLiteral("工程转换成功！");
    case ConversionStatus::EmptyPath:
        return QStringLiteral("打开文件路径为空！");
    case ConversionStatus::WrongPath:
    case ConversionStatus::OutputTaken:
        return QStringLiteral("打开文件路径有误！");
    case ConversionStatus::ProjectOpenFailed:
        return QStringLiteral("打开工程文件失败！");
    case ConversionStatus::ProjectReadFailed:
        return QStringLiteral("读取工程文件失败！");
    case ConversionStatus::OutputFailed:
        return QStringLiteral("QT工程创建失败");
    case ConversionStatus::UnknownTarget:
        return QStringLiteral("工程中没有这个目标！");
    }
    return QString();
}

} // namespace Corvane
