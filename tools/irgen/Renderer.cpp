#include "Renderer.h"

#include <cmath>

Renderer::Prepared Renderer::prepare(std::vector<Arrival> arrivals) const
{
    Prepared p;
    p.arrivals = std::move(arrivals);
    p.earlySlot.assign(p.arrivals.size(), -1);
    const int sl = m_hrtf.shiftedLength();
    int slots = 0;
    for (size_t i = 0; i < p.arrivals.size(); ++i)
        if (p.arrivals[i].delay < m_earlyLimit) p.earlySlot[i] = slots++;
    p.early.resize(static_cast<size_t>(slots) * 2 * sl);
    for (size_t i = 0; i < p.arrivals.size(); ++i)
    {
        const int slot = p.earlySlot[i];
        if (slot < 0) continue;
        const Arrival& a = p.arrivals[i];
        const double frac = a.delay - std::floor(a.delay);
        float* left = &p.early[static_cast<size_t>(slot) * 2 * sl];
        m_hrtf.interpolated(a.dir[0], a.dir[1], a.dir[2], frac, left, left + sl);
    }
    return p;
}

void Renderer::render(const Prepared& prepared, std::vector<std::vector<double>>& out) const
{
    const int sl = m_hrtf.shiftedLength();
    const int lead = HrtfSet::kSincHalf - 1;
    // Room for a response that starts just before the end; trimmed afterwards.
    out.assign(6, std::vector<double>(m_length + sl, 0.0));
    for (size_t i = 0; i < prepared.arrivals.size(); ++i)
    {
        const Arrival& a = prepared.arrivals[i];
        const double whole = std::floor(a.delay);
        const int start = static_cast<int>(whole) - lead;
        if (start < 0) continue; // nothing in this hall arrives that early
        const float* ears[2];
        const int slot = prepared.earlySlot[i];
        if (slot >= 0)
        {
            ears[0] = &prepared.early[static_cast<size_t>(slot) * 2 * sl];
            ears[1] = ears[0] + sl;
        }
        else
        {
            const int dir = m_hrtf.nearest(a.dir[0], a.dir[1], a.dir[2]);
            ears[0] = m_hrtf.shifted(dir, 0, a.delay - whole);
            ears[1] = m_hrtf.shifted(dir, 1, a.delay - whole);
        }
        for (int axis = 0; axis < 3; ++axis)
        {
            const double w = a.gain * a.dir[axis] * a.dir[axis];
            for (int ear = 0; ear < 2; ++ear)
            {
                double* dst = out[2 * axis + ear].data() + start;
                const float* h = ears[ear];
                for (int k = 0; k < sl; ++k)
                    dst[k] += w * h[k];
            }
        }
    }
    for (auto& r : out)
        r.resize(m_length);
}
