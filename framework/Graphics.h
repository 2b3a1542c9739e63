// Colours, fonts, pens, brushes and the canvas over a GDI device context.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// A colour: an RGB value, or a system colour (0x80000000 | COLOR_xxx) resolved when drawn.
using TColor = DWORD;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindow = 0x80000000 | COLOR_WINDOW;
constexpr TColor clWindowText = 0x80000000 | COLOR_WINDOWTEXT;
constexpr TColor clAppWorkSpace = 0x80000000 | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = 0x80000000 | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = 0x80000000 | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = 0x80000000 | COLOR_BTNFACE;
constexpr TColor clBtnShadow = 0x80000000 | COLOR_BTNSHADOW;
constexpr TColor clGrayText = 0x80000000 | COLOR_GRAYTEXT;
constexpr TColor clBtnText = 0x80000000 | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = 0x80000000 | COLOR_BTNHIGHLIGHT;
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TPenStyle { psSolid, psDash, psDot, psClear, psInsideFrame };
enum class TBrushStyle { bsSolid, bsClear };

// A GDI object described by properties; its handle is made when first needed and made anew
// after a change. The canvas that selected it swaps the handles.
class TGraphicsObject {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    virtual ~TGraphicsObject();

    HGDIOBJ Handle();
    std::function<void()> OnChange;

protected:
    void Changed();
    virtual HGDIOBJ CreateHandle() const = 0;

private:
    HGDIOBJ handle_ = nullptr;
    bool stale_ = false;
    friend class TCanvas;
    HGDIOBJ retired_ = nullptr; // the handle a change replaced, deleted once deselected
};

class TFont : public TGraphicsObject {
public:
    std::string Name() const { return name_; }
    int Height() const { return height_; }
    unsigned Style() const { return style_; }
    TColor Color() const { return color_; }
    void SetName(const std::string& name);
    void SetHeight(int height); // pixels; negative: character height without internal leading
    void SetStyle(unsigned style);
    void SetColor(TColor color);
    void Assign(const TFont& other);
    bool operator==(const TFont& other) const;

protected:
    HGDIOBJ CreateHandle() const override;

private:
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    unsigned style_ = 0;
    TColor color_ = clWindowText;
};

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    int Width() const { return width_; }
    TPenStyle Style() const { return style_; }
    void SetColor(TColor color);
    void SetWidth(int width);
    void SetStyle(TPenStyle style);

protected:
    HGDIOBJ CreateHandle() const override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
};

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    TBrushStyle Style() const { return style_; }
    void SetColor(TColor color);
    void SetStyle(TBrushStyle style);

protected:
    HGDIOBJ CreateHandle() const override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

// Draws on a device context with its own pen, brush and font, selected before each drawing
// operation; the context's original objects are restored when the handle is released.
class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc); // null releases the current context

    TPen Pen;
    TBrush Brush;
    TFont Font;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int left, int top, int right, int bottom);
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    // Text in a rectangle with DrawText's format flags.
    void DrawText(const std::string& text, RECT rect, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

private:
    enum Needs : unsigned { kPen = 1, kBrush = 2, kFont = 4 };
    void Prepare(unsigned needs);
    void Select(TGraphicsObject& object, HGDIOBJ& original);

    HDC dc_ = nullptr;
    HGDIOBJ originalPen_ = nullptr, originalBrush_ = nullptr, originalFont_ = nullptr;
};

// Binds a canvas to a device context for one scope, also when an exception passes.
class TCanvasBinding {
public:
    TCanvasBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;
    ~TCanvasBinding() { canvas_.SetHandle(nullptr); }

private:
    TCanvas& canvas_;
};
