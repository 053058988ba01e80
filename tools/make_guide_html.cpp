// Makes the guide window's page from the player's guide: the Markdown of
// docs/guide.md read as the toolkit reads it, every heading given the anchor
// its links name (the Markdown reader gives headings none), written out as
// the toolkit's HTML. Run by the build; the page and the pictures become the
// program's resource.
//
//   make_guide_html <guide.md> <out.html>
//
// Fails, naming what is wrong, when a link inside the guide names no heading
// or a picture is missing beside the guide, so a broken guide never builds.
#include <cstdio>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace {

// The anchor a heading gets where the guide is read on the web: lower case,
// only letters, digits, hyphens and underscores kept, each space a hyphen.
QString Slug(const QString& heading) {
    QString slug;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            slug += c;
        else if (c == u' ')
            slug += u'-';
    }
    return slug;
}

int Fail(const QString& why) {
    std::fprintf(stderr, "make_guide_html: %s\n", qPrintable(why));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return Fail(QStringLiteral("usage: make_guide_html <guide.md> <out.html>"));
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile in(input);
    if (!in.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read ") + input);
    const QString markdown = QString::fromUtf8(in.readAll());

    QTextDocument doc;
    // Paragraph spacing follows the document's font; the window sets its own face.
    QFont font;
    font.setPointSize(10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    QSet<QString> anchors;
    QStringList problems;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.text().isEmpty()) continue;
        // A second heading of the same words gets "-1", a third "-2", as on the web.
        const QString base = Slug(block.text());
        QString slug = base;
        for (int n = 1; anchors.contains(slug); ++n) slug = base + u'-' + QString::number(n);
        anchors.insert(slug);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({slug});
        cursor.mergeCharFormat(anchor);
    }

    const QString folder = QFileInfo(input).absolutePath();
    QSet<QString> shown;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString href = f.anchorHref();
            if (href.startsWith(u'#') && !anchors.contains(href.mid(1)))
                problems << QStringLiteral("the link %1 names no heading").arg(href);
            if (f.isImageFormat()) {
                const QString name = f.toImageFormat().name();
                shown.insert(name);
                if (!QFileInfo::exists(folder + u'/' + name)) problems << QStringLiteral("no picture ") + name;
            }
        }
    // The reader drops a picture whose description is empty ("![](...)").
    const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    for (auto m = picture.globalMatch(markdown); m.hasNext();) {
        const QString name = m.next().captured(1);
        if (!shown.contains(name)) problems << QStringLiteral("the picture %1 is lost (give it a description)").arg(name);
    }
    if (!problems.isEmpty()) return Fail(problems.join(QStringLiteral("; ")));

    // The body's font is the window's to choose.
    QString html = doc.toHtml();
    html.replace(QRegularExpression(QStringLiteral("<body style=\"[^\"]*\">")), QStringLiteral("<body>"));
    QFile out(output);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(html.toUtf8()) < 0 || !out.flush())
        return Fail(QStringLiteral("cannot write ") + output);
    return 0;
}
