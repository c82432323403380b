// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoftShadow.h"

#include <algorithm>
#include <vector>

namespace imagegen
{
namespace
{
// One pass of a box blur along a line of n samples, step apart, clamped at the ends.
void boxBlur(unsigned char* line, int n, int step, int radius, std::vector<int>& scratch)
{
    scratch.assign(n, 0);
    for (int i = 0; i < n; ++i)
        scratch[i] = line[i * step];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int k = -radius; k <= radius; ++k)
        sum += scratch[std::clamp(k, 0, n - 1)];
    for (int i = 0; i < n; ++i)
    {
        line[i * step] = static_cast<unsigned char>(sum / width);
        sum += scratch[std::min(i + radius + 1, n - 1)] - scratch[std::max(i - radius, 0)];
    }
}
} // namespace

void SoftShadow::paint(cairo_t* target, const std::function<void(cairo_t*)>& silhouette) const
{
    cairo_surface_t* dest = cairo_get_target(target);
    const int w = cairo_image_surface_get_width(dest);
    const int h = cairo_image_surface_get_height(dest);
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(mask);
    cairo_matrix_t m;
    cairo_get_matrix(target, &m);
    cairo_translate(cr, dx, dy);
    cairo_transform(cr, &m);
    silhouette(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_fill(cr);
    cairo_destroy(cr);

    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    std::vector<int> scratch;
    if (blur > 0)
        for (int pass = 0; pass < 3; ++pass)
        {
            for (int y = 0; y < h; ++y)
                boxBlur(data + y * stride, w, 1, blur, scratch);
            for (int x = 0; x < w; ++x)
                boxBlur(data + x, h, stride, blur, scratch);
        }
    cairo_surface_mark_dirty(mask);

    cairo_save(target);
    cairo_identity_matrix(target);
    cairo_set_source_rgba(target, 0, 0, 0, alpha);
    cairo_mask_surface(target, mask, 0, 0);
    cairo_restore(target);
    cairo_surface_destroy(mask);
}

} // namespace imagegen
