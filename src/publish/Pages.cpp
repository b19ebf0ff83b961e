#include "publish/Pages.h"

#include "content/ContentAddress.h"
#include "content/Des.h"

namespace luming::site {

namespace {

const char* const kStyle = R"(<style>
body { margin: 0; font-family: "WenQuanYi Zen Hei", "Noto Sans CJK SC", sans-serif;
       color: #2A3F55; background: #F4F9FF; }
h1 { font-size: 22px; color: #1E5F9C; margin: 16px 0 8px; }
.card { background: #FFFFFF; border: 1px solid #CFE3F7; border-radius: 12px; padding: 12px 16px;
        margin: 10px 16px; box-shadow: 0 2px 6px rgba(47, 127, 193, 0.12); }
.poem { font-size: 18px; line-height: 1.8; }
.title { font-weight: bold; color: #FF8A65; }
a { color: #2F7FC1; text-decoration: none; }
a:hover { text-decoration: underline; }
</style>)";

// The audio pages: a note that bobs while the child listens.
const char* const kListenStyle = R"(<style>
.listen { text-align: center; padding-top: 12px; }
.note { display: inline-block; font-size: 56px; color: #6CC070; animation: bob 2s ease-in-out infinite; }
@keyframes bob { 0%, 100% { transform: translateY(0); } 50% { transform: translateY(-10px); } }
</style>)";

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Page(const std::string& title, const std::string& body,
                 const std::string& extraStyle = {}) {
    return "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
           Escape(title) + "</title>" + kStyle + extraStyle + "</head><body>" + body +
           "</body></html>\n";
}

std::string PoemCard(const ChannelEntry& entry) {
    std::string card =
        "<div class=\"card poem\"><div class=\"title\">" + Escape(entry.name) + "</div>";
    for (const std::string& line : entry.lines)
        card += "<div>" + Escape(line) + "</div>";
    return card + "</div>";
}

} // namespace

std::string ProgrammeLink(const ChannelEntry& entry) {
    std::string name;
    for (char c : entry.name)
        name += c == ' ' ? std::string("%20") : std::string(1, c);
    return "TJID_" + EncryptToHex(entry.id, ContentKey) + "_" + name + "_" + entry.type + "_" +
           entry.pid;
}

std::string AudioPage(const std::vector<ChannelEntry>& channel) {
    std::string body = R"(<div class="listen"><span class="note">&#9835;</span>
<h1>静静地听，轻轻地读</h1><p>跟着朗读，一句一句念一念。</p></div>)";
    for (const ChannelEntry& entry : channel)
        if (entry.type == "2")
            body += PoemCard(entry);
    return Page("听古诗", body, kListenStyle);
}

std::string NewsPage(const std::vector<ChannelEntry>& channel) {
    std::string recommended;
    for (const ChannelEntry& entry : channel) {
        if (entry.type != "1")
            continue;
        recommended = "<div class=\"card\">今日推荐：<a href=\"/play/" +
                      Escape(ProgrammeLink(entry)) + "\">" + Escape(entry.name) + "</a></div>";
        break;
    }
    return Page("最新消息", R"(<h1 style="margin-left:16px">最新消息</h1>)" + recommended + R"(
<div class="card">新增《李白专辑》：和诗仙一起看月亮、坐小船。</div>
<div class="card">小贴士：每天读一首古诗，二十分钟就休息一下眼睛。</div>
<div class="card">下周上线：《儿歌》新添三首，欢迎一起唱。</div>)");
}

std::string StatusBarAdPage() {
    return Page("推荐", R"(<div style="height:27px;line-height:27px;text-align:center;
font-size:12px;color:#FFF4D6;background:#1F5E9A">每天读一首古诗，快乐成长！</div>)",
                "<style>body { background: #1F5E9A; overflow: hidden; }</style>");
}

std::string ChannelAdPage(const std::vector<ChannelEntry>& channel) {
    std::string body = "<h1 style=\"margin-left:12px;font-size:16px\">本周推荐</h1>";
    for (const ChannelEntry& entry : channel) {
        if (entry.type != "4")
            continue;
        body += "<div class=\"card\"><a href=\"/play/" + Escape(ProgrammeLink(entry)) + "\">" +
                Escape(entry.name) + "</a></div>";
        break;
    }
    body += "<div class=\"card\" style=\"font-size:12px\">看动画、听朗读，古诗原来这么有趣。</div>";
    return Page("本周推荐", body, "<style>body { overflow: hidden; }</style>");
}

std::string PauseAdPage() {
    return Page("休息一下", R"(<div style="text-align:center;padding-top:40px">
<div style="font-size:44px">&#9728;</div><h1>休息一下</h1>
<p>看看远处的绿树，让眼睛放松一会儿。</p></div>)",
                "<style>body { background: #FFF8EC; overflow: hidden; }</style>");
}

std::string LinksPage(const std::vector<ChannelEntry>& channel) {
    std::string body = "<h1 style=\"margin-left:16px\">古诗目录</h1>";
    for (const ChannelEntry& entry : channel)
        if (entry.type != "0")
            body += "<div class=\"card\"><a href=\"/play/" + Escape(ProgrammeLink(entry)) + "\">" +
                    Escape(entry.name) + "</a></div>";
    return Page("古诗目录", body);
}

std::string LinkOpenedElsewherePage() {
    return Page("请在鹿鸣果中打开",
                "<div class=\"card\">这个节目请在鹿鸣果儿童古诗精选里播放。</div>");
}

std::string OfflineAudioPage() {
    return Page("听古诗", R"(<div class="listen"><span class="note">&#9835;</span>
<h1>正在播放，静静地听一听</h1><p>跟着朗读，一句一句念一念。</p></div>)",
                kListenStyle);
}

} // namespace luming::site
