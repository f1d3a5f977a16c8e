// "2xSaI": the top-left output pixel is always the source pixel; the other
// three continue a diagonal line of the centre block or blend.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

using edge::Avg;
using edge::ByCase;
using edge::Eq;
using edge::Ne;
using edge::Px;
using edge::Select;

edge::Block2x2 TwoXSaIBlock(const edge::Window& w) {
    const Px A = w.A, B = w.B, C = w.C, D = w.D, E = w.E, F = w.F, G = w.G;
    const Px I = w.I, J = w.J, K = w.K, L = w.L, M = w.M, O = w.O;
    const edge::Diagonals diagonals = edge::DiagonalsOf(w);
    const Px fg = Avg(F, G), fj = Avg(F, J), mean4 = edge::Avg4(F, G, J, K);

    // The line tests of the neither-diagonal case; the diagonal cases reuse
    // the ones that match their own.
    const Px trKeepsF = Eq(F, J) & Eq(F, C) & Ne(G, B) & Eq(G, D);
    const Px trTakesG = Eq(G, B) & Eq(G, K) & Ne(F, C) & Eq(F, A);
    const Px blKeepsF = Eq(F, G) & Eq(F, I) & Ne(E, J) & Eq(J, M);
    const Px blTakesJ = Eq(J, E) & Eq(J, K) & Ne(F, I) & Eq(F, A);

    const Px tr1 = Select((Eq(F, B) & Eq(G, L)) | trKeepsF, F, fg);
    const Px bl1 = Select((Eq(F, E) & Eq(J, O)) | blKeepsF, F, fj);
    const Px tr2 = Select((Eq(G, C) & Eq(F, I)) | trTakesG, G, fg);
    const Px bl2 = Select((Eq(J, I) & Eq(F, C)) | blTakesJ, J, fj);

    const edge::Vote vote = edge::VoteOf(w);
    const Px br3 = Select(vote.negative, F, Select(vote.positive, G, mean4));

    // Neither diagonal, or a centre block of one colour, which stays F.
    const Px flat = Eq(F, G) & Eq(F, J) & Eq(F, K);
    const Px tr4 = Select(flat | trKeepsF, F, Select(trTakesG, G, fg));
    const Px bl4 = Select(flat | blKeepsF, F, Select(blTakesJ, J, fj));
    const Px br4 = Select(flat, F, mean4);

    return edge::Block2x2{F, ByCase(diagonals, tr1, tr2, fg, tr4), ByCase(diagonals, bl1, bl2, fj, bl4),
                          ByCase(diagonals, F, G, br3, br4)};
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
