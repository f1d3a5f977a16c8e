// "Super 2xSaI": the right output column follows the centre block's diagonals
// (or a three-to-one blend where there is none); the left column shows F over
// J unless a line through them asks for their blend.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

using edge::Avg;
using edge::Avg4;
using edge::Eq;
using edge::Ne;
using edge::Px;
using edge::Select;

edge::Block2x2 SuperTwoXSaIBlock(const edge::Window& w) {
    const Px A = w.A, B = w.B, C = w.C, D = w.D, E = w.E, F = w.F, G = w.G;
    const Px I = w.I, J = w.J, K = w.K, M = w.M, N = w.N, O = w.O, P = w.P;
    const edge::Diagonals diagonals = edge::DiagonalsOf(w);

    const edge::Vote vote = edge::VoteOf(w);
    const Px voted = Select(vote.positive, G, Select(vote.negative, F, Avg(F, G)));

    const Px br4 = Select(Eq(G, K) & Eq(K, N) & Ne(J, O) & Ne(K, M), Avg4(K, K, K, J),
                          Select(Eq(F, J) & Eq(J, O) & Ne(N, K) & Ne(J, P), Avg4(J, J, J, K), Avg(J, K)));
    const Px tr4 = Select(Eq(G, K) & Eq(G, B) & Ne(F, C) & Ne(G, A), Avg4(G, G, G, F),
                          Select(Eq(F, J) & Eq(F, C) & Ne(B, G) & Ne(F, D), Avg4(F, F, F, G), Avg(F, G)));
    auto right = [&](Px otherwise) { return edge::ByCase(diagonals, F, J, voted, otherwise); };

    const Px jf = Avg(J, F);
    const Px blendBl = (Eq(F, K) & Ne(J, G) & Eq(E, F) & Ne(F, O)) | (Eq(F, I) & Eq(G, F) & Ne(E, J) & Ne(F, M));
    const Px blendTl = (Eq(J, G) & Ne(F, K) & Eq(I, J) & Ne(J, C)) | (Eq(E, J) & Eq(K, J) & Ne(I, F) & Ne(J, A));
    return edge::Block2x2{Select(blendTl, jf, F), right(tr4), Select(blendBl, jf, J), right(br4)};
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
