#include "app/ProgramPages.h"

#include "notes/WeekDayName.h"
#include "platform/Dialogs.h"

#include <QUrl>

namespace tavi {
namespace {

// The skin's colours (platform/Skin.h) as HTML writes them.
constexpr auto kLight = "#D8E3F3";  // title strips
constexpr auto kBlue = "#5B7FB5";   // picture buttons: today's mark
constexpr auto kText = "#334D73";
constexpr auto kWeekend = "#C00000";

QString cell(const QString &text, bool weekend, bool today)
{
    if (today)
        return QStringLiteral("<td align=\"center\" bgcolor=\"%1\"><b><font color=\"white\">%2</font></b></td>")
            .arg(QLatin1String(kBlue), text);
    if (weekend)
        return QStringLiteral("<td align=\"center\"><font color=\"%1\">%2</font></td>").arg(QLatin1String(kWeekend), text);
    return QStringLiteral("<td align=\"center\">%1</td>").arg(text);
}

} // namespace

QString programVersion()
{
    return QStringLiteral(TAVI_VERSION);
}

QString panelPageHtml(const QDate &today, int shownYear, int shownMonth)
{
    QDate first(shownYear, shownMonth, 1);
    if (!first.isValid())
        first = QDate(today.year(), today.month(), 1);
    const int lead = first.dayOfWeek() - 1; // empty cells before the 1st
    const int days = first.daysInMonth();

    QString html = QStringLiteral("<html><body style=\"font-size: 12px; color: %1;\">").arg(QLatin1String(kText));
    html += QStringLiteral("<p style=\"margin: 0;\"><b><span style=\"font-size: 14px;\">%1年%2月</span></b></p>")
                .arg(first.year())
                .arg(first.month());
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"1\" style=\"margin-top: 2px;\">");
    html += QStringLiteral("<tr bgcolor=\"%1\">").arg(QLatin1String(kLight));
    for (int day = 1; day <= 7; ++day)
        html += cell(QString(weekdayNumeral(day)), day >= 6, false);
    html += QStringLiteral("</tr>");
    for (int at = 0; at < lead + days; at += 7) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < 7; ++column) {
            const int day = at + column - lead + 1;
            if (day < 1 || day > days) {
                html += QStringLiteral("<td></td>");
                continue;
            }
            html += cell(QString::number(day), column >= 5, first.addDays(day - 1) == today);
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    html += QStringLiteral("<p style=\"margin: 3px 0 0 0;\"><font color=\"%1\">■</font> 今天：%2年%3月%4日(%5)</p>")
                .arg(QLatin1String(kBlue))
                .arg(today.year())
                .arg(today.month())
                .arg(today.day())
                .arg(weekdayNumeral(today.dayOfWeek()));
    html += QStringLiteral(
        "<p style=\"margin: 5px 0 0 0;\"><b>小提示</b></p>"
        "<p style=\"margin: 0;\">· 日框右键：复制 粘贴 删除 剪切 打V 打X 撤销</p>"
        "<p style=\"margin: 0;\">· √ 打勾，X 打叉，日期 插入今天，红块 字的颜色</p>"
        "<p style=\"margin: 0;\">· 内容清空：清空本周六格，不能撤销</p>"
        "<p style=\"margin: 0;\">· 应用到桌面：把本周写到桌面壁纸上</p>"
        "<p style=\"margin: 0;\">· 每个命令的用法：选项 → 帮助说明</p>");
    html += QStringLiteral("</body></html>");
    return html;
}

QString helpPageHtml(const QString &programFolder)
{
    const QString folder = programFolder.toHtmlEscaped();
    return QStringLiteral(R"(<html><body>
<h2>Tavi周记事本 帮助说明</h2>
<p>版本 %1。一周一页：周一到周五各一个日框，周六和周日合为一个（灰色的那格）。写下的内容随写随存，不需要保存。</p>

<h3>周页 A–E 和月份</h3>
<p>每个月有五个周页。点窗口上方的 <b>A B C D E</b> 换页，正在显示的那一页字母是红色。
A–E 只是五个标签，哪一页记哪一周由你自己安排。</p>
<p>右上方蓝色的大数字是正在显示的月份。点它打开<b>月份菜单</b>（1月–12月），选一个月就换到那个月的同一个周页。
菜单下方的<b>上一年</b>和<b>下一年</b>换到前一年或后一年的同一个月，这时月份前面会显示年份，例如“2025年12月”；<b>今天</b>回到今天所在的月份。
在别的年份里输入、导出和应用到桌面都和今年一样。左上方的小日历跟着显示同一个月，今天标成蓝色。</p>

<h3>日框</h3>
<p>在日框里直接输入。每输入一个字都会保存到笔记数据库。万一保存失败，程序会提示“本周内容未能保存”和原因，日框里的字仍在，
之后的每次输入照样再试着保存；这时换页、换月或退出之前会先问你，默认是“否”。一周的内容读不出来时，程序会提示“本周内容未能读取”，日框保持空白，不能编辑。</p>
<p>在日框里点鼠标右键打开菜单：</p>
<ul>
<li><b>复制</b>：复制选中的内容。</li>
<li><b>粘贴</b>：把剪贴板的内容贴到光标处，替换选中的内容。</li>
<li><b>删除</b>：删除选中的内容。</li>
<li><b>剪切</b>：复制选中的内容，再把它删除。</li>
<li><b>打V</b>：在光标处插入 √。</li>
<li><b>打X</b>：在光标处插入 ×。</li>
<li><b>撤销(Ctrl+Z)</b>：撤销上一次编辑。</li>
</ul>

<h3>工具栏</h3>
<p>下面的按钮都作用于光标所在的日框；光标不在日框里时，它们什么也不做。</p>
<ul>
<li><b>√</b>：插入 √，和右键菜单的“打V”一样。</li>
<li><b>X</b>：插入 ×，和“打X”一样。</li>
<li><b>日期</b>（插入日期）：插入今天的日期，例如“ 2010.06.01 (二)”。</li>
<li><b>红色小方块</b>（字体颜色）：选一种颜色，选中的文字就变成这种颜色。</li>
<li><b>内容清空</b>：把本周六个日框全部清空并保存。它不询问；清空前的内容作为一个历史版本保留，可以用“历史版本…”找回。</li>
</ul>
<p>注意：打勾、打叉和日期插入后不能撤销，在它们之前的编辑也不能再撤销。</p>

<h3>应用到桌面</h3>
<p>把本周六个日框的文字画成一张图，半透明地叠在一张背景图片的右上方，再把结果设为桌面壁纸。
每点一次，换用背景列表里的另一张图片，轮流使用。</p>
<p>设置之前会问“您确定要更换壁纸？”：点<b>确定</b>设置壁纸，点<b>取消</b>、X 或按 Esc 什么也不做。
勾选“下次不再提示”再点确定，以后就不再问；想让它重新询问，把 Data/configSetBg.ini 的第一行改成 1。</p>
<p>如果在你的桌面上无法自动设置壁纸，程序会告诉你合成好的图片保存在哪里（source/DeskTopBG/Mix.bmp），你可以自己把它设为壁纸。</p>

<h3>添加桌面背景</h3>
<p>左边的“添加桌面背景”打开背景图片选择窗口，里面列出全部背景：</p>
<ul>
<li><b>添加</b>：选一张 BMP、JPG 或 GIF 图片。它被复制到 source/DeskTopBG 并转换成 BMP；宽于 1280 像素的图片缩小到 1280×768。</li>
<li><b>移除</b>：从列表中去掉选中的图片（默认背景 A1.bmp 不会被去掉）。</li>
<li><b>确定</b>：选中的图片成为当前背景，下一次“应用到桌面”就用它；然后关闭窗口。右上角的关闭按钮不做改动就关闭窗口。</li>
</ul>

<h3>选项菜单</h3>
<p>点右上方的“选项”打开：</p>
<ul>
<li><b>内容导出</b>：把本周六个日框的文字写成一个文本文件（GBK 编码），文件名默认为“A记事.txt”（字母是当前周页）。文件已经存在时，先问你是否替换。</li>
<li><b>查找…</b>（也可以按 Ctrl+F）：输入要找的文字，下面立刻列出所有写有这段文字的日子（不分年份，最新的在前，
不分字母大小写），每行显示年月、周页、星期几和文字前后的几个字。在一行上双击或按回车，就显示那一周，光标停在找到的文字上。</li>
<li><b>历史版本…</b>：列出这一周以前保存过的内容（时间和每天的开头几个字）。一周的内容保持十分钟不变以后再被改写时，
以及“内容清空”和恢复之前，原来的内容都留作一个版本：7 天内的全部保留，之后每天留一个，保留 90 天。选一个版本点“恢复”，
它就回到日框里并保存；被替换的内容也留作一个版本。</li>
<li><b>登陆密码</b>：勾选“启动登录密码”，把密码输入两次，点“应用”。以后每次启动都先要输入密码，点“取消”则不启动。
去掉勾选再点“应用”就取消密码。密码只以哈希保存，不保存原文。</li>
<li><b>帮助说明</b>：打开这一页。</li>
<li><b>意见反馈</b>：打开本项目的问题反馈页面；程序没有配置这个页面时，告诉你怎样报告问题、要写些什么。</li>
<li><b>退出程序</b>：立刻退出。笔记早已随写随存；窗口的位置、大小和当前周页不会记下。</li>
</ul>

<h3>窗口右上角的按钮</h3>
<ul>
<li><b>最小化</b>：窗口收到任务栏。</li>
<li><b>最大化</b>：窗口占满屏幕（留出任务栏的位置）；再点一次回到 906×540，放在屏幕中间。</li>
<li><b>关闭</b>：保存本周、窗口的位置和大小、当前周页和月份，然后退出。下次启动时回到这里。</li>
</ul>
<p>按住窗口的空白处可以拖动窗口，按住窗口边缘可以改变大小。</p>

<h3>数据保存在哪里</h3>
<p>全部在程序文件夹里：<b>%2</b></p>
<ul>
<li>Data/UserData.db：全部笔记和它们的历史版本（运行时旁边还有 -wal、-shm 两个文件）</li>
<li>Data/backups/：笔记数据库每天的副本（UserData-年-月-日.db），保留最近 7 天的和之前 4 周每周一个</li>
<li>Data/FormSize.ini、content.ini、configSetBg.ini：窗口位置、备忘内容、更换壁纸前是否询问</li>
<li>Data/BGPicList.ini：背景图片列表</li>
<li>Data/loginstr.db：登录密码（哈希）</li>
<li>source/DeskTopBG/：背景图片和生成的壁纸 Mix.bmp</li>
</ul>
<p>备份：程序每天第一次启动或保存时自动把笔记数据库复制到 Data/backups 并检查副本。另外备份时，先退出程序，再复制整个 Data 文件夹
（以及你添加到 source/DeskTopBG 的图片）。恢复时把它们放回原处；要用某天的自动副本，退出程序后把它复制为 Data/UserData.db。</p>
</body></html>)")
        .arg(programVersion(), folder);
}

QString issuesPage()
{
    return QStringLiteral(TAVI_ISSUES_URL);
}

void giveFeedback(Dialogs &dialogs, QWidget *owner, const QString &issuesPage)
{
    if (!issuesPage.isEmpty()) {
        dialogs.openUrl(QUrl(issuesPage));
        return;
    }
    dialogs.showMessage(owner, QStringLiteral("欢迎告诉我们问题和建议。请写明：\n"
                                              "1. 程序版本：Tavi周记事本 %1\n"
                                              "2. 你的系统和桌面，例如 Debian 12、GNOME\n"
                                              "3. 做了哪些步骤，看到了什么，本来希望看到什么（有提示时请照抄原文）\n"
                                              "请把这些发到你得到这个程序的地方：下载它的网站或项目页面，或者交给你程序的人。")
                                   .arg(programVersion()));
}

} // namespace tavi
