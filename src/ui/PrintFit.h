// Where the rendered window lands on the printed page.
#pragma once

// A rectangle in page pixels, from the top-left corner of the printable area.
struct TPrintRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TPrintRect&) const = default;
};

// The image at the top-left of the page, as large as fits with its proportions kept: full
// page height when the width at that height stays below the page width, otherwise full
// page width. Integer arithmetic that truncates, so the picture never reaches past the
// printable area by a rounded-up pixel; an empty image or page gives an empty rectangle.
TPrintRect FitToPage(int imageW, int imageH, int pageW, int pageH);
