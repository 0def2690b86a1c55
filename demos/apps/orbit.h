#pragma once
// Orbits of the Mandelbrot map z -> z^2 + c from z = 0, shared by the
// orbit-density demos (which differ in precision).

// The first n in 1..limit at which |z_n|^2 > 4, or 0 when the orbit stays
// within the radius-2 disc for all of them.
template <class T> int EscapeIteration(T cr, T ci, int limit)
{
    T re = 0;
    T im = 0;
    for (int n = 1; n <= limit; ++n) {
        const T next = re * re - im * im + cr;
        im = 2 * re * im + ci;
        re = next;
        if (re * re + im * im > 4)
            return n;
    }
    return 0;
}
