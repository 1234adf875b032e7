// Lays out a manual written in Markdown as a PDF: a title page, the contents with page
// numbers, chapters on new pages, numbered pages with a running footer.
#pragma once

#include <QImage>
#include <QMap>
#include <QString>

struct TManualSource {
  QMap<QString, QString> Front; // the "key: value" lines between the two "---" lines
  QString Markdown;             // the rest, comments removed
};

// Splits the front matter off; "<!-- ... -->" comments are dropped from the text.
TManualSource ParseManualSource(const QString& text);

struct TManualPictures {
  QMap<QString, QImage> Images; // by the name the Markdown uses, "window.png"
  QImage Logo;                  // on the title page; may be null
};

// False with the reason in `error` when the PDF cannot be written.
bool WriteManualPdf(const TManualSource& source, const TManualPictures& pictures,
                    const QString& fileName, QString& error);
