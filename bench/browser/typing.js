// Typing in a 20 KB textarea with check as you type, against the same textarea without it, in
// the same run: the time from each key to the next painted frame, median and worst, over 3 runs;
// checked with spelling and grammar marks, and with spelling marks only (grammar off). Beside
// the times, the page's main-thread CPU time per key while typing (from the browser's trace,
// the idle-time work of the keys included): on a loaded machine the times mostly tell how long
// the page waited for a processor, the CPU time how much work the keys made.
// A measurement, not a test:
//   node bench/browser/typing.js            (starts the service from build/, as the browser tests)
//   VERBARIUM_URL=http://127.0.0.1:8080 node bench/browser/typing.js   (a running service)
'use strict';
const path = require('node:path');
const browserTests = path.join(__dirname, '..', '..', 'tests', 'browser');
process.env.VERBARIUM_LIVE_SERVICE = process.env.VERBARIUM_LIVE_SERVICE ||
    path.join(__dirname, '..', '..', 'build', 'tests', 'browser', 'live_service');
const { startService, startSite, CHROMIUM, CHROMIUM_ARGS } = require(path.join(browserTests, 'harness'));
const { chromium } = require(path.join(browserTests, 'node_modules', 'playwright-core'));

const KEYS = 'The quick brown fox jumsp over the lazy dgo and keeps running. ';
const RUNS = 3;

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// The CPU time of the page's main thread in a trace, in ms.
function mainThreadCpu(trace) {
    const events = JSON.parse(trace.toString()).traceEvents;
    const main = new Set(events.filter((e) => e.ph === 'M' && e.name === 'thread_name' && e.args.name === 'CrRendererMain')
        .map((e) => `${e.pid}:${e.tid}`));
    return events.filter((e) => e.ph === 'X' && e.name === 'ThreadControllerImpl::RunTask' && main.has(`${e.pid}:${e.tid}`))
        .reduce((sum, e) => sum + (e.tdur || 0), 0) / 1000;
}

// Types KEYS at the end of a 20 KB text; resolves with the per-key times in ms and the
// main-thread CPU time per key. `mode`: 'off' (no checking), 'spelling' (grammar off) or 'on'.
async function typeOnce(browser, site, service, mode) {
    const check = mode !== 'off';
    const page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
    await page.goto(`${site.url}/pages/editors.html?editor=plain&check=${check ? 'on' : 'off'}` +
                    `&grammar=${mode === 'spelling' ? 'off' : 'on'}&service=` +
                    encodeURIComponent(service.url + '/cgi-bin/orthd.cgi'));
    await page.evaluate(() => window.ready);
    await page.evaluate(() => {
        const words = 'lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ' +
                      'incididunt ut labore et dolore magna aliqua recieve leter freind';
        const list = words.split(' ');
        let text = '';
        for (let i = 0; text.length < 20000; i++) text += list[(i * 7) % list.length] + (i % 12 === 11 ? '.\n' : ' ');
        const el = document.getElementById('body');
        el.style.height = '400px';
        el.value = text;
        el.dispatchEvent(new Event('input', { bubbles: true }));
        window.keyTimes = [];
        el.addEventListener('keydown', (e) => {
            const start = e.timeStamp;
            requestAnimationFrame(() => setTimeout(() => window.keyTimes.push(performance.now() - start)));
        });
    });
    if (check) await page.evaluate(() => Verbarium.settled());
    // Typing starts once the page is idle, in both modes: the first layout and paint of the
    // marked copy of 20 KB (a few hundred ms, once, when the first answers arrive) is not a
    // key's cost. TYPE_AT_ONCE=1 starts at once and shows that cost in the first keys.
    if (!process.env.TYPE_AT_ONCE) await page.waitForTimeout(1000);
    await page.click('#body');
    await page.keyboard.press('Control+End');
    await browser.startTracing(page, { categories: ['toplevel'] });
    await page.keyboard.type(KEYS, { delay: 60 });
    // (stopped before the pause after the last key starts a check)
    await page.waitForTimeout(150);
    const cpu = mainThreadCpu(await browser.stopTracing()) / KEYS.length;
    await page.waitForTimeout(150);
    const times = await page.evaluate(() => window.keyTimes);
    await page.close();
    return { times, cpu };
}

(async () => {
    const service = await startService();
    const site = await startSite();
    const browser = await chromium.launch({ executablePath: CHROMIUM, args: CHROMIUM_ARGS });
    try {
        const rows = [];
        for (let run = 1; run <= RUNS; run++) {
            const { times: plain, cpu: plainCpu } = await typeOnce(browser, site, service, 'off');
            const { times: spelling, cpu: spellingCpu } = await typeOnce(browser, site, service, 'spelling');
            const { times: checked, cpu: checkedCpu } = await typeOnce(browser, site, service, 'on');
            rows.push({ plain: median(plain), spelling: median(spelling), checked: median(checked),
                        plainCpu, spellingCpu, checkedCpu,
                        worst: Math.max(...checked), worstSpelling: Math.max(...spelling), worstPlain: Math.max(...plain) });
            console.log(`run ${run}: median per key ${median(plain).toFixed(1)} ms unchecked, ` +
                        `${median(spelling).toFixed(1)} ms spelling only, ${median(checked).toFixed(1)} ms with grammar; ` +
                        `worst checked key ${Math.max(...spelling).toFixed(1)} / ${Math.max(...checked).toFixed(1)} ms ` +
                        `(unchecked ${Math.max(...plain).toFixed(1)} ms); main-thread CPU per key ` +
                        `${plainCpu.toFixed(2)} / ${spellingCpu.toFixed(2)} / ${checkedCpu.toFixed(2)} ms`);
        }
        const plain = median(rows.map((r) => r.plain));
        const spelling = median(rows.map((r) => r.spelling));
        const checked = median(rows.map((r) => r.checked));
        // The worst key without checking is the machine's own noise floor for the worst keys.
        console.log(`median of ${RUNS} runs, unchecked: ${plain.toFixed(1)} ms; worst key ` +
                    `${Math.max(...rows.map((r) => r.worstPlain)).toFixed(1)} ms`);
        console.log(`median of ${RUNS} runs, spelling only: ${spelling.toFixed(1)} / ${plain.toFixed(1)} ms = ` +
                    `${(spelling / plain).toFixed(2)}x; worst key ${Math.max(...rows.map((r) => r.worstSpelling)).toFixed(1)} ms`);
        console.log(`median of ${RUNS} runs, with grammar: ${checked.toFixed(1)} / ${plain.toFixed(1)} ms = ` +
                    `${(checked / plain).toFixed(2)}x; worst key ${Math.max(...rows.map((r) => r.worst)).toFixed(1)} ms`);
        const cpu = (key) => median(rows.map((r) => r[key]));
        console.log(`median of ${RUNS} runs, main-thread CPU per key: spelling only ${cpu('spellingCpu').toFixed(2)} / ` +
                    `${cpu('plainCpu').toFixed(2)} ms = ${(cpu('spellingCpu') / cpu('plainCpu')).toFixed(2)}x, with grammar ` +
                    `${cpu('checkedCpu').toFixed(2)} / ${cpu('plainCpu').toFixed(2)} ms = ${(cpu('checkedCpu') / cpu('plainCpu')).toFixed(2)}x`);
    } finally {
        await browser.close();
        await site.stop();
        await service.stop();
    }
})();
