// SPDX-License-Identifier: GPL-3.0-or-later
#include "Renderer.h"

#include <cmath>

Renderer::Early Renderer::prepare(const Hall& hall, const double source[3]) const
{
    Early e;
    e.arrivals = hall.arrivals(source, m_earlyLimit);
    const int sl = m_hrtf.shiftedLength();
    e.responses.resize(e.arrivals.size() * 2 * sl);
    for (size_t i = 0; i < e.arrivals.size(); ++i)
    {
        const Arrival& a = e.arrivals[i];
        float* left = &e.responses[i * 2 * sl];
        m_hrtf.interpolated(a.dir[0], a.dir[1], a.dir[2], a.delay - std::floor(a.delay), left,
                            left + sl);
    }
    return e;
}

void Renderer::render(const Early& early, const Hall& hall, const double source[3],
                      std::vector<std::vector<double>>& out) const
{
    const int sl = m_hrtf.shiftedLength();
    // Room for a response that starts just before the end; trimmed afterwards.
    out.assign(6, std::vector<double>(m_length + sl, 0.0));
    for (size_t i = 0; i < early.arrivals.size(); ++i)
    {
        const float* left = &early.responses[i * 2 * sl];
        add(early.arrivals[i], left, left + sl, sl, out);
    }
    hall.visit(source, m_earlyLimit, m_length,
               [&](const Arrival& a)
               {
                   const int dir = m_hrtf.nearest(a.dir[0], a.dir[1], a.dir[2]);
                   const double frac = a.delay - std::floor(a.delay);
                   add(a, m_hrtf.shifted(dir, 0, frac), m_hrtf.shifted(dir, 1, frac),
                       m_hrtf.lateShiftedLength(), out);
               });
    for (auto& r : out)
        r.resize(m_length);
}

// Most of the generator's time is spent here; let capable processors use wider vectors.
__attribute__((target_clones("avx2", "default"))) void
Renderer::add(const Arrival& a, const float* left, const float* right, int taps,
              std::vector<std::vector<double>>& out) const
{
    const int start = static_cast<int>(std::floor(a.delay)) - (HrtfSet::kSincHalf - 1);
    if (start < 0) return; // nothing in this hall arrives that early
    // The direct sound belongs to no room axis: shared equally, no single axis volume can take
    // most of it away or leave only one ear's part of it.
    const double third = a.gain / 3.0;
    const double w[3] = {a.order == 0 ? third : a.gain * a.dir[0] * a.dir[0],
                         a.order == 0 ? third : a.gain * a.dir[1] * a.dir[1],
                         a.order == 0 ? third : a.gain * a.dir[2] * a.dir[2]};
    const float* ears[2] = {left, right};
    for (int ear = 0; ear < 2; ++ear)
    {
        const float* h = ears[ear];
        double* fb = out[ear].data() + start;
        double* lr = out[2 + ear].data() + start;
        double* cf = out[4 + ear].data() + start;
        for (int k = 0; k < taps; ++k)
        {
            const double v = h[k];
            fb[k] += w[0] * v;
            lr[k] += w[1] * v;
            cf[k] += w[2] * v;
        }
    }
}
