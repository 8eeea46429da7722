// Shared setup of the browser tests: the live service (through the end-to-end tests' helper,
// the live_service program), Debian's Chromium driven by playwright-core, and the screenshot
// of each scenario's end under the build folder.
'use strict';
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const readline = require('node:readline');

const SKIP = 77;
const CHROMIUM = '/usr/bin/chromium';
// Without the background-networking switches Chromium waits for the network on a closed host.
const CHROMIUM_ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                       '--disable-background-networking', '--disable-component-update', '--disable-sync',
                       '--disable-dev-shm-usage'];

function skip(why) {
    console.log(`SKIP: ${why}`);
    process.exit(SKIP);
}

function loadPlaywright() {
    try {
        return require('playwright-core');
    } catch (e) {
        return skip('playwright-core is not installed (scripts/install-deps.sh installs it from npm)');
    }
}

// Starts the service; resolves with {url, stopEngine(), stop()}.
function startService() {
    // A service already running (while developing): VERBARIUM_URL=http://127.0.0.1:PORT.
    if (process.env.VERBARIUM_URL)
        return Promise.resolve({ url: process.env.VERBARIUM_URL, stopEngine() {}, stop() {} });
    const program = process.env.VERBARIUM_LIVE_SERVICE;
    if (!program || !fs.existsSync(program)) skip('VERBARIUM_LIVE_SERVICE does not name the live_service program');
    const child = spawn(program, [], { stdio: ['pipe', 'pipe', 'inherit'] });
    const lines = readline.createInterface({ input: child.stdout });
    const waiting = [];
    lines.on('line', (line) => {
        const next = waiting.shift();
        if (next) next(line);
    });
    const nextLine = () => new Promise((resolve) => waiting.push(resolve));
    return nextLine().then((line) => {
        if (!line || line.startsWith('problem=')) {
            child.stdin.end();
            if (/not installed/.test(line || '')) skip(line);
            throw new Error(`the service did not start: ${line}`);
        }
        const web = /web=(\d+)/.exec(line)[1];
        return {
            url: `http://127.0.0.1:${web}`,
            stopEngine() {
                child.stdin.write('stop-engine\n');
                return nextLine();
            },
            stop() {
                child.stdin.end();
                return new Promise((resolve) => child.on('exit', resolve));
            },
        };
    });
}

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css',
                '.json': 'application/json', '.svg': 'image/svg+xml', '.woff2': 'font/woff2' };

// A second site on loopback, the customer's: its pages (pages/) and the editors from the npm
// packages (node_modules/). A form posted to /submit is answered with its fields as JSON.
function startSite() {
    const http = require('node:http');
    const roots = { '/pages/': path.join(__dirname, 'pages'), '/node_modules/': path.join(__dirname, 'node_modules') };
    const server = http.createServer((req, res) => {
        const url = new URL(req.url, 'http://127.0.0.1');
        if (req.method === 'POST' && url.pathname === '/submit') {
            let body = '';
            req.on('data', (c) => { body += c; });
            req.on('end', () => {
                res.writeHead(200, { 'Content-Type': 'application/json' });
                res.end(JSON.stringify(Object.fromEntries(new URLSearchParams(body))));
            });
            return;
        }
        if (url.pathname === '/favicon.ico') {
            res.writeHead(204);
            res.end();
            return;
        }
        const prefix = Object.keys(roots).find((p) => url.pathname.startsWith(p));
        const file = prefix && path.join(roots[prefix], path.normalize(decodeURIComponent(url.pathname.slice(prefix.length))));
        if (!file || !file.startsWith(roots[prefix]) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            res.writeHead(404);
            res.end();
            return;
        }
        res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
        fs.createReadStream(file).pipe(res);
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
        url: `http://127.0.0.1:${server.address().port}`,
        stop: () => new Promise((done) => server.close(done)),
    })));
}

// Playwright's waitForFunction polls on animation frames unless told otherwise, and a loaded
// headless Chromium can stop giving a frame any for a while: the dialog was ready, the wait went
// on to its time-out. Every wait of these tests polls on a timer instead, unless it says so.
function pollOnTimers(frame) {
    const proto = Object.getPrototypeOf(frame);
    if (proto.waitForFunction.pollsOnTimers) return;
    const original = proto.waitForFunction;
    proto.waitForFunction = function (fn, arg, options = {}) {
        return original.call(this, fn, arg, { polling: 50, ...options });
    };
    proto.waitForFunction.pollsOnTimers = true;
}

// A page whose script is stuck answers no evaluation: the report says so instead of waiting.
function within(evaluation, ms = 5000) {
    let timer;
    const late = new Promise((resolve) => {
        timer = setTimeout(() => resolve(`(no answer in ${ms} ms: its script may be stuck)`), ms);
    });
    return Promise.race([evaluation.catch((e) => `(${e.message})`), late]).finally(() => clearTimeout(timer));
}

// What a failed scenario's page had loaded: its address, the pages and failed requests on the
// way, and the start of its document, so that a failure seen once in CI can be read afterwards.
function watchTraffic(page) {
    const seen = [];
    page.on('response', (r) => {
        if (r.request().isNavigationRequest() || r.status() >= 400) seen.push(`${r.status()} ${r.url()}`);
    });
    const pending = new Set();
    page.on('request', (r) => pending.add(r));
    page.on('requestfinished', (r) => pending.delete(r));
    page.on('requestfailed', (r) => {
        pending.delete(r);
        seen.push(`failed ${r.url()}: ${r.failure() && r.failure().errorText}`);
    });
    page.on('crash', () => seen.push('the page crashed'));
    return {
        async describe() {
            const html = await within(page.evaluate(() => `${document.title} | ` +
                    (document.body ? document.body.innerText : document.documentElement.outerHTML).slice(0, 400)));
            const frames = await Promise.all(page.frames().slice(1).map((f) => within(f.evaluate(() => {
                const pane = document.getElementById('pane');
                const status = document.getElementById('status');
                return `pane busy=${pane && pane.getAttribute('aria-busy')}` +
                    ` nodes=${pane && pane.childNodes.length} status=${status && status.textContent}`;
            })).then((state) => `frame ${f.url()}: ${state}`)));
            const waiting = [...pending].map((r) => `unanswered ${r.method()} ${r.url()} ${r.postData() || ''}`.slice(0, 200));
            return [`page: ${page.url()}`, ...seen.slice(-20), ...waiting, ...frames, `document: ${html}`].join('\n');
        },
    };
}

// The service, a fresh browser profile and a page; `run(t)` gets {page, url, service, shot}.
// Console errors of the page fail the scenario unless `allowErrors` matches them.
// A failed scenario runs once more from scratch (VERBARIUM_BROWSER_RETRIES, default 1): on a
// loaded shared machine a browser step now and then waits past its time-out. The first failure
// is printed whole, with what the page had loaded, and the scenario is reported as flaky.
async function scenario(name, run, options = {}) {
    const retries = Number(process.env.VERBARIUM_BROWSER_RETRIES ?? 1);
    for (let attempt = 0; ; ++attempt) {
        try {
            return await runScenario(name, run, options);
        } catch (e) {
            if (attempt >= retries) throw e;
            console.log(`# FLAKY ${name}: attempt ${attempt + 1} failed, running it again:`);
            const where = String(e.stack || '').split('\n').filter((l) => /^\s+at /.test(l));
            console.log([String(e.message || e), ...where].join('\n').replace(/^/gm, '#   '));
        }
    }
}

async function runScenario(name, run, { allowErrors = null } = {}) {
    const { chromium } = loadPlaywright();
    if (!fs.existsSync(CHROMIUM)) skip(`${CHROMIUM} is not installed (scripts/install-deps.sh installs it)`);
    const service = await startService();
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'verbarium-chromium-'));
    const shots = process.env.VERBARIUM_SCREENSHOTS || path.join(os.tmpdir(), 'verbarium-screenshots');
    fs.mkdirSync(shots, { recursive: true });
    let context = null;
    try {
        context = await chromium.launchPersistentContext(profile, {
            executablePath: CHROMIUM, headless: true, args: CHROMIUM_ARGS,
            viewport: { width: 1200, height: 900 }, deviceScaleFactor: 1,
        });
        const page = context.pages()[0] || await context.newPage();
        pollOnTimers(page.mainFrame());
        const errors = [];
        page.on('pageerror', (e) => errors.push(e.message));
        page.on('console', (m) => {
            if (m.type() === 'error' && !(allowErrors && allowErrors.test(m.text()))) errors.push(m.text());
        });
        page.on('dialog', (d) => {
            errors.push(`unexpected dialog: ${d.message()}`);
            d.dismiss();
        });
        const traffic = watchTraffic(page);
        const shot = (suffix, timeout) =>
            page.screenshot({ path: path.join(shots, `${name}${suffix ? '-' + suffix : ''}.png`), timeout });
        try {
            await run({ page, context, url: service.url, service, shot, errors });
        } catch (e) {
            await shot('failed', 5000).catch(() => {});
            e.message += `\n${await traffic.describe()}`;
            throw e;
        }
        await shot();
        if (errors.length) throw new Error(`page errors:\n${errors.join('\n')}`);
    } finally {
        if (context) await context.close().catch(() => {});
        await service.stop();
        fs.rmSync(profile, { recursive: true, force: true });
    }
}

// The dialog's frame (in-page mode) once its text is checked.
async function openDialog(page, fieldSelector, options = {}) {
    await page.evaluate(([sel, opts]) => {
        window.dialogResult = undefined;
        Verbarium.openDialog(document.querySelector(sel), opts).then((r) => { window.dialogResult = r; });
    }, [fieldSelector, options]);
    const handle = await page.waitForSelector('iframe.vb-frame');
    const frame = await handle.contentFrame();
    // The frame's page may not have its pane yet, and the engine may still be opening the
    // language's dictionary (a loaded machine): keep waiting rather than fail.
    await frame.waitForFunction(() => {
        const pane = document.getElementById('pane');
        return pane !== null && pane.getAttribute('aria-busy') === 'false' && pane.childNodes.length > 0;
    }, null, { timeout: 90000 });
    return frame;
}

// Waits until the dialog's current word (or the end) is shown after an action.
async function dialogSettled(frame) {
    await frame.waitForFunction(() => document.getElementById('pane').getAttribute('aria-busy') === 'false');
}

module.exports = { scenario, openDialog, dialogSettled, startSite, startService, CHROMIUM, CHROMIUM_ARGS };
