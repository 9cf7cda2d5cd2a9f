// Injected into a copy of the batch report (which has no scripts of its own): whether the page
// is wider than the window, whether anything is cut off or beyond the window's edges, whether
// boxes of the summary or of a project's section lie on one another, and whether every
// timeline picture was shown. The verdict goes into #verdict for the test to read.
addEventListener('load', () => {
  const problems = [];
  const width = innerWidth;
  const name = (e) => {
    const css = typeof e.className === 'string' && e.className ? '.' + e.className.trim().split(/\s+/).join('.') : '';
    return e.tagName.toLowerCase() + (e.id ? '#' + e.id : '') + css + ' "' +
      (e.textContent || e.getAttribute('src') || '').trim().slice(0, 50) + '"';
  };
  const root = document.documentElement;
  if (root.scrollWidth > width) problems.push('the page is ' + root.scrollWidth + ' px wide');
  for (const e of document.querySelectorAll('body *')) {
    const style = getComputedStyle(e);
    const clips = ['hidden', 'clip', 'auto', 'scroll'].includes(style.overflowX) ||
      e.tagName === 'TD' || e.tagName === 'TH';
    if (clips && e.scrollWidth > e.clientWidth) problems.push('cut off: ' + name(e));
    for (const r of e.getClientRects())
      if (r.width > 0 && (r.left < -0.5 || r.right > width + 0.5))
        problems.push('beyond the window (' + Math.round(r.left) + '-' + Math.round(r.right) + '): ' + name(e));
  }
  // Each line box of an inline element on its own, so that text wrapping round is no overlap.
  const boxes = (e) => [...e.getClientRects()].filter((r) => r.width > 0.5 && r.height > 0.5);
  const meet = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 &&
    a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5;
  const parents = [document.querySelector('main')];
  for (const part of document.querySelectorAll('.summary, .project'))
    parents.push(part, ...part.querySelectorAll('*'));
  for (const parent of parents) {
    const children = [...parent.children];
    for (let i = 0; i < children.length; ++i)
      for (let j = i + 1; j < children.length; ++j)
        if (boxes(children[i]).some((a) => boxes(children[j]).some((b) => meet(a, b))))
          problems.push(name(children[i]) + ' overlaps ' + name(children[j]));
  }
  for (const img of document.images)
    if (!img.complete || img.naturalWidth === 0) problems.push('picture not shown: ' + name(img));
  const verdict = document.createElement('pre');
  verdict.id = 'verdict';
  verdict.textContent = 'width ' + width + ': ' +
    (problems.length ? 'PROBLEMS\n' + [...new Set(problems)].join('\n') : 'CLEAN');
  document.body.append(verdict);
});
