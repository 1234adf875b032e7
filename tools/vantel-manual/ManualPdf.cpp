#include "ManualPdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextLayout>

#include <vector>

namespace {

constexpr int Dpi = 300;
constexpr double MarginMm = 20;
constexpr double FooterMm = 10; // below the text area, inside the bottom margin
const char* const FontFamily = "DejaVu Sans";

double MmToPx(double mm) {
  return mm / 25.4 * Dpi;
}

struct THeading {
  QString Text;
  int Level;
  int Page; // 0-based page of the body
};

QFont BodyFont() {
  QFont font(FontFamily);
  font.setPointSizeF(10);
  return font;
}

// A line of a code block: all of it in the fixed font. The importer marks code by the
// font family "monospace"; an empty line between two code lines belongs to the block.
bool IsFixedText(const QTextBlock& block) {
  if (!block.isValid() || block.text().isEmpty() || block.textList() != nullptr ||
      block.blockFormat().headingLevel() > 0)
    return false;
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextCharFormat format = it.fragment().charFormat();
    if (!format.fontFixedPitch() && !format.fontFamilies().toStringList().contains("monospace"))
      return false;
  }
  return true;
}

bool IsCodeLine(const QTextBlock& block) {
  if (!block.isValid()) return false;
  if (!block.text().isEmpty()) return IsFixedText(block);
  return IsFixedText(block.previous()) && IsFixedText(block.next());
}

// Headings, tables and pictures in the manual's look; chapters start on a new page.
void StyleDocument(QTextDocument& doc, double width, double pageHeight) {
  bool first = true;
  int chapter = 0, section = 0;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextCursor cursor(block);
    QTextBlockFormat format = block.blockFormat();
    const int level = format.headingLevel();
    if (level == 1 || level == 2) {
      // Chapters and sections numbered, so the contents and a cross-reference can name them.
      section = level == 1 ? 0 : section + 1;
      chapter += level == 1 ? 1 : 0;
      cursor.insertText(level == 1 ? QString("%1  ").arg(chapter)
                                   : QString("%1.%2  ").arg(chapter).arg(section));
    }
    if (level > 0) {
      static const double sizes[] = {0, 18, 13.5, 11.5, 10.5, 10, 10};
      format.setTopMargin(first ? 0 : MmToPx(level == 1 ? 9 : 4));
      format.setBottomMargin(MmToPx(level == 1 ? 3 : 1.5));
      first = false;
      cursor.setBlockFormat(format);
      cursor.select(QTextCursor::BlockUnderCursor);
      QTextCharFormat chars;
      chars.setFontPointSize(sizes[std::min(level, 6)]);
      chars.setFontWeight(QFont::Bold);
      chars.setForeground(level == 1 ? QColor(0x10, 0x24, 0x3f) : QColor(0x1f, 0x3b, 0x5e));
      cursor.mergeCharFormat(chars);
    } else if (IsCodeLine(block)) {
      // The lines of a command or file example stay together like in a terminal.
      const bool last = !block.next().isValid() || !IsCodeLine(block.next());
      format.setTopMargin(0);
      format.setBottomMargin(last ? MmToPx(2) : 0);
      cursor.setBlockFormat(format);
    } else if (block.textList() == nullptr && format.bottomMargin() < MmToPx(1.5)) {
      format.setBottomMargin(MmToPx(1.5));
      cursor.setBlockFormat(format);
    }
    // Pictures as wide as the text, drawn sharp from the full-size image.
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      if (!image.isValid()) continue;
      const QImage picture =
          doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
      if (picture.isNull()) continue;
      // At most half a page high, so a picture fits beside its text. The layout takes
      // picture sizes in screen units (96 per inch) and scales them itself.
      const double fit = std::min(width, pageHeight * 0.5 * picture.width() / picture.height());
      const double w = std::min(fit, picture.width() * 2.0) * 96.0 / Dpi;
      image.setWidth(w);
      image.setHeight(w * picture.height() / picture.width());
      QTextCursor at(&doc);
      at.setPosition(fragment.position());
      at.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      at.setCharFormat(image);
    }
  }
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    format.setBorder(1);
    format.setBorderBrush(QColor(0x8f, 0xa8, 0xc8));
    format.setBorderCollapse(true);
    format.setCellPadding(MmToPx(1));
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    // No repeated header row: a table that ends at the foot of a page would get its
    // header drawn over the text at the top of the next.
    format.setHeaderRowCount(0);
    format.setTopMargin(MmToPx(1));
    format.setBottomMargin(MmToPx(3));
    table->setFormat(format);
    for (int column = 0; column < table->columns(); ++column) {
      QTextTableCellFormat cell = table->cellAt(0, column).format().toTableCellFormat();
      cell.setBackground(QColor(0xe8, 0xee, 0xf7));
      table->cellAt(0, column).setFormat(cell);
    }
  }
}

// A heading in the last part of a page would stand there with hardly anything under it: it
// moves to the next page. Each move shifts what follows, and the layout is asked afresh.
bool KeepHeadingsWithText(QTextDocument& doc, double pageHeight) {
  bool moved = false;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat format = block.blockFormat();
    if (format.headingLevel() == 0 || format.pageBreakPolicy() != QTextFormat::PageBreak_Auto)
      continue;
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    if (std::fmod(r.top(), pageHeight) > pageHeight * 0.82) {
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(block).setBlockFormat(format);
      doc.markContentsDirty(0, doc.characterCount());
      moved = true;
    }
  }
  return moved;
}

// A table that fits on a page and would cross a page's foot moves whole to the next page,
// with its heading; so does a longer one when only its head and first row would stand at the
// foot. A table on its chapter's first page stays there.
bool KeepTablesTogether(QTextDocument& doc, double pageHeight) {
  bool moved = false;
  const auto page = [&](double y) { return static_cast<int>(y / pageHeight); };
  const auto top = [&](const QTextTableCell& cell) {
    return doc.documentLayout()->blockBoundingRect(cell.firstCursorPosition().block()).top();
  };
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    if (format.pageBreakPolicy() != QTextFormat::PageBreak_Auto) continue;
    const QRectF box = doc.documentLayout()->frameBoundingRect(table);
    if (page(box.top()) == page(box.bottom() - 1)) continue;
    const bool fits = box.height() < pageHeight;
    const bool loneHead =
        table->rows() >= 3 && page(top(table->cellAt(0, 0))) != page(top(table->cellAt(2, 0)));
    if (!fits && !loneHead) continue;
    // The heading a few lines above goes with it, rather than stand alone at the foot; a
    // chapter's own page keeps its table.
    QTextBlock before = doc.findBlock(table->firstPosition()).previous();
    for (int i = 0; i < 3 && before.isValid() && before.blockFormat().headingLevel() == 0; ++i)
      before = before.previous();
    const bool heading =
        before.isValid() && before.blockFormat().headingLevel() > 0 &&
        page(doc.documentLayout()->blockBoundingRect(before).top()) == page(box.top());
    if (heading && before.blockFormat().pageBreakPolicy() != QTextFormat::PageBreak_Auto) continue;
    if (heading) {
      QTextBlockFormat moved = before.blockFormat();
      moved.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(before).setBlockFormat(moved);
    } else {
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      table->setFormat(format);
    }
    doc.markContentsDirty(0, doc.characterCount());
    moved = true;
  }
  return moved;
}

// Every block with text has lines: nothing of the manual is silently left out.
bool AllLaidOut(QTextDocument& doc) {
  doc.documentLayout()->documentSize();
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    doc.documentLayout()->blockBoundingRect(block);
    if (!block.text().isEmpty() && (block.layout() == nullptr || block.layout()->lineCount() == 0))
      return false;
  }
  return true;
}

std::vector<THeading> Headings(QTextDocument& doc, double pageHeight) {
  std::vector<THeading> headings;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 1 || level > 2) continue;
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    headings.push_back({block.text(), level, static_cast<int>(r.top() / pageHeight)});
  }
  return headings;
}

void BuildContents(QTextDocument& toc, const QString& title, const std::vector<THeading>& headings,
                   int firstBodyPage) {
  QTextCursor cursor(&toc);
  QTextBlockFormat head;
  head.setHeadingLevel(1);
  head.setBottomMargin(MmToPx(4));
  QTextCharFormat headChars;
  headChars.setFont(BodyFont());
  headChars.setFontPointSize(18);
  headChars.setFontWeight(QFont::Bold);
  headChars.setForeground(QColor(0x10, 0x24, 0x3f));
  cursor.setBlockFormat(head);
  cursor.setCharFormat(headChars);
  cursor.insertText(title);

  QTextTableFormat format;
  format.setBorder(0);
  format.setCellPadding(MmToPx(0.6));
  format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  format.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                    QTextLength(QTextLength::PercentageLength, 10)});
  QTextTable* table = cursor.insertTable(static_cast<int>(headings.size()), 2, format);
  for (std::size_t i = 0; i < headings.size(); ++i) {
    const THeading& h = headings[i];
    QTextCharFormat chars;
    chars.setFont(BodyFont());
    chars.setFontWeight(h.Level == 1 ? QFont::Bold : QFont::Normal);
    QTextCursor name = table->cellAt(static_cast<int>(i), 0).firstCursorPosition();
    QTextBlockFormat indent;
    indent.setLeftMargin(h.Level == 1 ? 0 : MmToPx(6));
    indent.setTopMargin(h.Level == 1 && i > 0 ? MmToPx(1.5) : 0);
    name.setBlockFormat(indent);
    name.insertText(h.Text, chars);
    QTextCursor page = table->cellAt(static_cast<int>(i), 1).firstCursorPosition();
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setTopMargin(indent.topMargin());
    page.setBlockFormat(right);
    page.insertText(QString::number(firstBodyPage + h.Page + 1), chars);
  }
}

int PageCount(QTextDocument& doc, double pageHeight) {
  return std::max(1, static_cast<int>(std::ceil(
                         doc.documentLayout()->documentSize().height() / pageHeight - 1e-6)));
}

// The pages of one document, each after a new page, with the running footer: the
// manual's name on the left, "Page n / total" on the right.
void DrawPages(QPainter& painter, QPdfWriter& pdf, QTextDocument& doc, int pages,
               const QRectF& body, int& number, int total, const QString& footer,
               const QString& pageWord) {
  for (int page = 0; page < pages; ++page) {
    pdf.newPage();
    ++number;
    painter.save();
    painter.translate(body.left(), body.top() - page * body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, page * body.height(), body.width(), body.height());
    painter.setClipRect(context.clip);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();

    QFont small = BodyFont();
    small.setPointSizeF(8);
    painter.setFont(small);
    painter.setPen(QColor(0x8f, 0xa8, 0xc8));
    const double y = body.bottom() + MmToPx(FooterMm) - MmToPx(4);
    painter.drawLine(QPointF(body.left(), y), QPointF(body.right(), y));
    painter.setPen(QColor(0x40, 0x40, 0x40));
    const QRectF line(body.left(), y + MmToPx(1), body.width(), MmToPx(5));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, footer);
    painter.drawText(line, Qt::AlignRight | Qt::AlignTop,
                     QString("%1 %2 / %3").arg(pageWord).arg(number).arg(total));
  }
}

} // namespace

TManualSource ParseManualSource(const QString& text) {
  TManualSource source;
  QString rest = text;
  rest.remove(QRegularExpression("<!--.*?-->", QRegularExpression::DotMatchesEverythingOption));
  if (rest.startsWith("---\n")) {
    const int end = rest.indexOf("\n---\n", 3);
    if (end > 0) {
      for (const QString& line : rest.mid(4, end - 4).split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0) source.Front[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed();
      }
      rest = rest.mid(end + 5);
    }
  }
  source.Markdown = rest;
  return source;
}

bool WriteManualPdf(const TManualSource& source, const TManualPictures& pictures,
                    const QString& fileName, QString& error) {
  const QString title = source.Front.value("title");
  const QString subtitle = source.Front.value("subtitle");
  QPdfWriter pdf(fileName);
  pdf.setResolution(Dpi);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  pdf.setTitle(title + " – " + subtitle);
  pdf.setCreator(source.Front.value("creator"));
  const QRectF page(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()));
  const QRectF body =
      page.adjusted(MmToPx(MarginMm), MmToPx(MarginMm), -MmToPx(MarginMm), -MmToPx(MarginMm + 4));

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&pdf);
  doc.setDefaultFont(BodyFont());
  doc.setDocumentMargin(0);
  doc.setMarkdown(source.Markdown, QTextDocument::MarkdownDialectGitHub);
  // After the text: setting it clears the document's resources.
  for (auto it = pictures.Images.begin(); it != pictures.Images.end(); ++it)
    doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
  doc.setPageSize(body.size());
  StyleDocument(doc, body.width(), body.height());
  // Many small format changes leave Qt's incremental page layout with blocks it never laid
  // out (they would vanish from the PDF); one full layout afterwards has them all.
  doc.markContentsDirty(0, doc.characterCount());
  // Each move shifts what follows: again until nothing moves (each pass only adds breaks).
  for (int pass = 0; pass < 8; ++pass) {
    const bool headings = KeepHeadingsWithText(doc, body.height());
    if (!KeepTablesTogether(doc, body.height()) && !headings) break;
  }
  if (!AllLaidOut(doc)) {
    error = "some text of " + fileName + " was not laid out";
    return false;
  }
  const std::vector<THeading> headings = Headings(doc, body.height());
  const int bodyPages = PageCount(doc, body.height());

  QTextDocument toc;
  toc.documentLayout()->setPaintDevice(&pdf);
  toc.setDefaultFont(BodyFont());
  toc.setDocumentMargin(0);
  toc.setPageSize(body.size());
  BuildContents(toc, source.Front.value("contents"), headings, 0);
  const int tocPages = PageCount(toc, body.height());
  toc.clear();
  BuildContents(toc, source.Front.value("contents"), headings, 1 + tocPages);
  const int total = 1 + tocPages + bodyPages;

  QPainter painter;
  if (!painter.begin(&pdf)) {
    error = "cannot write " + fileName;
    return false;
  }
  // Title page: the logo, the program's name, what this is, its version.
  if (!pictures.Logo.isNull()) {
    const double w = body.width();
    painter.drawImage(
        QRectF(body.left(), MmToPx(60), w, w * pictures.Logo.height() / pictures.Logo.width()),
        pictures.Logo);
  }
  QFont big = BodyFont();
  big.setPointSizeF(30);
  big.setBold(true);
  painter.setFont(big);
  painter.setPen(QColor(0x10, 0x24, 0x3f));
  painter.drawText(QRectF(body.left(), MmToPx(110), body.width(), MmToPx(20)), Qt::AlignLeft,
                   title);
  QFont middle = BodyFont();
  middle.setPointSizeF(18);
  painter.setFont(middle);
  painter.drawText(QRectF(body.left(), MmToPx(128), body.width(), MmToPx(14)), Qt::AlignLeft,
                   subtitle);
  painter.setFont(BodyFont());
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawText(QRectF(body.left(), MmToPx(145), body.width(), MmToPx(30)),
                   Qt::AlignLeft | Qt::TextWordWrap, source.Front.value("edition"));
  painter.drawText(QRectF(body.left(), page.height() - MmToPx(45), body.width(), MmToPx(25)),
                   Qt::AlignLeft | Qt::TextWordWrap, source.Front.value("license"));

  int number = 1;
  const QString footer = title + " – " + subtitle;
  const QString pageWord = source.Front.value("page");
  DrawPages(painter, pdf, toc, tocPages, body, number, total, footer, pageWord);
  DrawPages(painter, pdf, doc, bodyPages, body, number, total, footer, pageWord);
  if (!painter.end()) {
    error = "cannot finish " + fileName;
    return false;
  }
  return true;
}
