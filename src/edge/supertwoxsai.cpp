// "Super 2xSaI": the right output column follows the centre block's diagonals
// (or a three-to-one blend where there is none); the left column shows F over
// J unless a line through them asks for their blend.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

edge::Block2x2 SuperTwoXSaIBlock(const edge::Window& w) {
    const uint16_t A = w.A, B = w.B, C = w.C, D = w.D, E = w.E, F = w.F, G = w.G;
    const uint16_t I = w.I, J = w.J, K = w.K, M = w.M, N = w.N, O = w.O, P = w.P;
    edge::Block2x2 out;
    if (G == J && F != K) {  // anti-diagonal
        out.tr = out.br = J;
    } else if (F == K && G != J) {  // main diagonal
        out.tr = out.br = F;
    } else if (F == K && F != G) {  // both diagonals, two colours
        const int t = edge::VoteTotal(w);
        out.tr = out.br = t > 0 ? G : t < 0 ? F : edge::Avg(F, G);
    } else {
        out.br = (G == K && K == N && J != O && K != M)   ? edge::Avg4(K, K, K, J)
                 : (F == J && J == O && N != K && J != P) ? edge::Avg4(J, J, J, K)
                                                          : edge::Avg(J, K);
        out.tr = (G == K && G == B && F != C && G != A)   ? edge::Avg4(G, G, G, F)
                 : (F == J && F == C && B != G && F != D) ? edge::Avg4(F, F, F, G)
                                                          : edge::Avg(F, G);
    }
    out.bl = ((F == K && J != G && E == F && F != O) || (F == I && G == F && E != J && F != M)) ? edge::Avg(J, F)
                                                                                               : J;
    out.tl = ((J == G && F != K && I == J && J != C) || (E == J && K == J && I != F && J != A)) ? edge::Avg(J, F)
                                                                                               : F;
    return out;
}

}  // namespace

TOVRIN_ROUTINE(SuperTwoXSaI_2x) {
    (void)cache;
    edge::Scale2x<SuperTwoXSaIBlock>(src, srcRowBytes, dst, dstRowBytes, width, height);
}

TOVRIN_ROUTINE(SuperTwoXSaI_4x) {
    edge::Scale4x<SuperTwoXSaI_2x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
