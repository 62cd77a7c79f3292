#include "bench/WeekSample.h"

#include "platform/TextCodec.h"

namespace tavi::bench {

RtfDocument dayNotes(int day)
{
    static const QString sentences[] = {
        QStringLiteral("上午九点开会，讨论本周的工作安排。"),
        QStringLiteral("下午完成报告初稿并发给王经理审阅。"),
        QStringLiteral("记得给客户回电话，确认合同细节。"),
        QStringLiteral("晚上七点健身，八点半读书一小时。"),
        QStringLiteral("周末带孩子去公园，顺便买菜。"),
    };
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0)};
    RtfDocument doc;
    int bytes = 0;
    for (int i = 0; bytes < 2048; ++i) {
        RtfCharFormat format;
        if ((i + day) % 3 == 0)
            format.color = colours[i % 3];
        format.bold = (i + day) % 7 == 0;
        const QString text = sentences[(i + day) % 5] + (i % 4 == 3 ? QStringLiteral("\n") : QString());
        doc.append(text, format);
        bytes += int(encodeGbk(text).size());
    }
    return doc;
}

} // namespace tavi::bench
