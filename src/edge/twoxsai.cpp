// "2xSaI": the top-left output pixel is always the source pixel; the other
// three continue a diagonal line of the centre block or blend.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

edge::Block2x2 TwoXSaIBlock(const edge::Window& w) {
    const uint16_t A = w.A, B = w.B, C = w.C, D = w.D, E = w.E, F = w.F, G = w.G, H = w.H;
    const uint16_t I = w.I, J = w.J, K = w.K, L = w.L, M = w.M, O = w.O;
    (void)H;
    edge::Block2x2 out;
    out.tl = F;
    if (F == K && G != J) {  // main diagonal
        out.tr = ((F == B && G == L) || (F == J && F == C && G != B && G == D)) ? F : edge::Avg(F, G);
        out.bl = ((F == E && J == O) || (F == G && F == I && E != J && J == M)) ? F : edge::Avg(F, J);
        out.br = F;
    } else if (G == J && F != K) {  // anti-diagonal
        out.tr = ((G == C && F == I) || (G == B && G == K && F != C && F == A)) ? G : edge::Avg(F, G);
        out.bl = ((J == I && F == C) || (J == E && J == K && F != I && F == A)) ? J : edge::Avg(F, J);
        out.br = G;
    } else if (F == K) {  // both diagonals
        if (F == G) {
            out.tr = out.bl = out.br = F;
        } else {
            out.tr = edge::Avg(F, G);
            out.bl = edge::Avg(F, J);
            const int t = edge::VoteTotal(w);
            out.br = t < 0 ? F : t > 0 ? G : edge::Avg4(F, G, J, K);
        }
    } else {  // neither
        out.tr = (F == J && F == C && G != B && G == D)   ? F
                 : (G == B && G == K && F != C && F == A) ? G
                                                          : edge::Avg(F, G);
        out.bl = (F == G && F == I && E != J && J == M)   ? F
                 : (J == E && J == K && F != I && F == A) ? J
                                                          : edge::Avg(F, J);
        out.br = edge::Avg4(F, G, J, K);
    }
    return out;
}

}  // namespace

TOVRIN_ROUTINE(TwoXSaI_2x) {
    (void)cache;
    edge::Scale2x<TwoXSaIBlock>(src, srcRowBytes, dst, dstRowBytes, width, height);
}

TOVRIN_ROUTINE(TwoXSaI_4x) {
    edge::Scale4x<TwoXSaI_2x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
