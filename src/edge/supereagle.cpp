// "Super Eagle": the output block is built from the centre block itself,
// continuing a diagonal line with copies and three-to-one blends, or blending
// along the rows where no column of the centre block is one colour.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

// avg(p, avg(p, q)): three parts p to one part q, rounded down at each step.
uint16_t ThreeToOne(uint16_t p, uint16_t q) { return edge::Avg(p, edge::Avg(p, q)); }

edge::Block2x2 SuperEagleBlock(const edge::Window& w) {
    const uint16_t B = w.B, C = w.C, E = w.E, F = w.F, G = w.G, H = w.H;
    const uint16_t I = w.I, J = w.J, K = w.K, L = w.L, N = w.N, O = w.O;
    edge::Block2x2 out;
    if (G == J && F != K) {  // anti-diagonal
        out.tr = out.bl = J;
        if ((I == J && G == H) || (J == N && G == C)) {
            out.tl = ThreeToOne(J, F);
            out.br = ThreeToOne(J, K);
        } else {
            out.tl = edge::Avg(F, G);
            out.br = edge::Avg(J, K);
        }
    } else if (F == K && G != J) {  // main diagonal
        out.tl = out.br = F;
        if ((B == F && K == O) || (E == F && K == L)) {
            out.tr = ThreeToOne(F, G);
            out.bl = ThreeToOne(F, J);
        } else {
            out.tr = edge::Avg(F, G);
            out.bl = edge::Avg(J, K);
        }
    } else if (F == K && F != G) {  // both diagonals, two colours
        const int t = edge::VoteTotal(w);
        if (t > 0) {
            out.tr = out.bl = J;
            out.tl = out.br = edge::Avg(F, G);
        } else if (t < 0) {
            out.tl = out.br = F;
            out.tr = out.bl = edge::Avg(F, G);
        } else {
            out.tl = out.br = F;
            out.tr = out.bl = J;
        }
    } else if (J == F || K == G) {  // a column of the centre block is one colour
        out = edge::Block2x2{F, G, J, K};
    } else {
        const uint16_t fg = edge::Avg(F, G), jk = edge::Avg(J, K);
        out = edge::Block2x2{edge::Avg(F, fg), edge::Avg(G, fg), edge::Avg(J, jk), edge::Avg(K, jk)};
    }
    return out;
}

}  // namespace

TOVRIN_ROUTINE(SuperEagle_2x) {
    (void)cache;
    edge::Scale2x<SuperEagleBlock>(src, srcRowBytes, dst, dstRowBytes, width, height);
}

TOVRIN_ROUTINE(SuperEagle_4x) {
    edge::Scale4x<SuperEagle_2x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
