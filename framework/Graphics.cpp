// GDI objects and the canvas.
#include "Graphics.h"

#include <cstring>

COLORREF ColorToRGB(TColor color) {
    return (color & 0x80000000) ? GetSysColor(color & 0xFF) : color;
}

TGraphicsObject::~TGraphicsObject() {
    if (handle_) DeleteObject(handle_);
    if (retired_) DeleteObject(retired_);
}

HGDIOBJ TGraphicsObject::Handle() {
    if (stale_) {
        if (retired_) DeleteObject(retired_);
        retired_ = handle_;
        handle_ = nullptr;
        stale_ = false;
    }
    if (!handle_) handle_ = CreateHandle();
    return handle_;
}

void TGraphicsObject::Changed() {
    if (handle_) stale_ = true;
    if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetStyle(unsigned style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (*this == other) return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

bool TFont::operator==(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           color_ == other.color_;
}

HGDIOBJ TFont::CreateHandle() const {
    LOGFONTA font{};
    font.lfHeight = height_;
    font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style_ & fsItalic) != 0;
    font.lfUnderline = (style_ & fsUnderline) != 0;
    font.lfStrikeOut = (style_ & fsStrikeOut) != 0;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    std::strncpy(font.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

HGDIOBJ TPen::CreateHandle() const {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_NULL, PS_INSIDEFRAME};
    return CreatePen(kStyles[static_cast<int>(style_)], width_, ColorToRGB(color_));
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ == TBrushStyle::bsSolid) return;
    color_ = color;
    style_ = TBrushStyle::bsSolid; // a colour makes the brush paint again
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

HGDIOBJ TBrush::CreateHandle() const {
    if (style_ == TBrushStyle::bsClear) {
        LOGBRUSH hollow{BS_HOLLOW, 0, 0};
        return CreateBrushIndirect(&hollow);
    }
    return CreateSolidBrush(ColorToRGB(color_));
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

void TCanvas::SetHandle(HDC dc) {
    if (dc_) {
        if (originalPen_) SelectObject(dc_, originalPen_);
        if (originalBrush_) SelectObject(dc_, originalBrush_);
        if (originalFont_) SelectObject(dc_, originalFont_);
        originalPen_ = originalBrush_ = originalFont_ = nullptr;
    }
    dc_ = dc;
}

void TCanvas::Select(TGraphicsObject& object, HGDIOBJ& original) {
    const bool stale = object.stale_ || !object.handle_;
    if (!stale && original) return; // already selected and current
    HGDIOBJ previous = SelectObject(dc_, object.Handle());
    if (!original) original = previous;
    if (object.retired_) {
        DeleteObject(object.retired_);
        object.retired_ = nullptr;
    }
}

void TCanvas::Prepare(unsigned needs) {
    if (needs & kPen) Select(Pen, originalPen_);
    if (needs & kBrush) {
        Select(Brush, originalBrush_);
        SetBkColor(dc_, ColorToRGB(Brush.Color()));
        SetBkMode(dc_, Brush.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
    }
    if (needs & kFont) {
        Select(Font, originalFont_);
        SetTextColor(dc_, ColorToRGB(Font.Color()));
    }
}

void TCanvas::MoveTo(int x, int y) {
    Prepare(kPen);
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Prepare(kPen | kBrush);
    ::LineTo(dc_, x, y);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    Prepare(kPen | kBrush);
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::FillRect(const RECT& rect) {
    Prepare(kBrush);
    ::FillRect(dc_, &rect, static_cast<HBRUSH>(Brush.Handle()));
}

void TCanvas::FrameRect(const RECT& rect) {
    Prepare(kBrush);
    ::FrameRect(dc_, &rect, static_cast<HBRUSH>(Brush.Handle()));
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    Prepare(kBrush);
    ::DrawFocusRect(dc_, &rect);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Prepare(kFont | kBrush);
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
    Prepare(kFont | kBrush);
    const UINT options = ETO_CLIPPED | (Brush.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(dc_, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::DrawText(const std::string& text, RECT rect, UINT format) {
    Prepare(kFont | kBrush);
    ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    Prepare(kFont);
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size;
}
