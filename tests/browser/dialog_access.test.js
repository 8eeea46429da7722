// The dialog for everyone: keyboard focus, a screen reader's view (axe-core on the demo page,
// the dialog and its options page), a narrow screen, and a service that does not answer.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { scenario, openDialog, dialogSettled, startSite } = require('./harness');

const AXE = path.join(__dirname, 'node_modules', 'axe-core', 'axe.min.js');

// Violations that keep people out (axe's "critical" and "serious"), as "rule: targets".
async function blockers(frame) {
    await frame.addScriptTag({ path: AXE });
    const { violations } = await frame.evaluate(() => axe.run(document, { resultTypes: ['violations'] }));
    return violations.filter((v) => v.impact === 'critical' || v.impact === 'serious')
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

test('demo page, dialog and options page: no critical or serious accessibility problem; focus stays in the dialog', () =>
    scenario('dialog_access', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.evaluate(() => Verbarium.settled && Verbarium.settled());
        assert.deepEqual(await blockers(page.mainFrame()), []);

        await page.setViewportSize({ width: 360, height: 640 });
        await page.fill('#dialog-field', 'I recieve a leter.');
        const frame = await openDialog(page, '#dialog-field');
        assert.match(await frame.evaluate(() => document.documentElement.lang), /^[a-z]{2,3}(-[A-Z]{2})?$/);
        assert.deepEqual(await frame.evaluate(() => [document.documentElement.scrollWidth, innerWidth]).then(([w, v]) => w <= v), true);
        // The focus starts on the suggestions, whose active option exists.
        await frame.waitForFunction(() => document.activeElement && document.activeElement.id === 'choices');
        assert.ok(await frame.evaluate(() => document.getElementById(
            document.getElementById('choices').getAttribute('aria-activedescendant'))));
        assert.deepEqual(await blockers(frame), []);

        // A button used keeps the focus once its request is done.
        await frame.focus('#ignore');
        await page.keyboard.press('Enter');
        await dialogSettled(frame);
        await frame.waitForFunction(() => document.getElementById('word').textContent === 'leter');
        await frame.waitForFunction(() => document.activeElement.id === 'ignore');
        // Tab from the last control comes back to the first.
        await frame.focus('#finish');
        await page.keyboard.press('Tab');
        assert.ok(await frame.evaluate(() => document.activeElement.id === 'lang'));

        await frame.click('#options');
        const options = await (await frame.waitForSelector('#optionsFrame:not([hidden])')).contentFrame();
        await options.waitForSelector('form');
        assert.deepEqual(await blockers(options), []);
    }));

// How the dialog's page fails to come: never answered, or refused.
const OUTAGES = [
    ['hangs', () => {}],
    ['refused', (route) => route.abort('connectionrefused')],
];
for (const [how, answer] of OUTAGES) {
    test(`the dialog whose page ${how} says so and closes by its button and by Escape`, () =>
        scenario(`dialog_access-${how}`, async ({ page, url }) => {
            await page.route(/doc=qdr_core/, answer);
            await page.goto(url + '/');
            await page.fill('#dialog-field', 'A wrod.');
            for (const closeBy of ['button', 'Escape']) {
                await page.evaluate(() => {
                    window.dialogResult = undefined;
                    Verbarium.openDialog(document.getElementById('dialog-field'), { loadTimeout: 1000 })
                        .then((r) => { window.dialogResult = r; });
                });
                await page.waitForSelector('.vb-load-problem[role=alert]');
                assert.match(await page.textContent('.vb-load-problem'), /cannot be reached/);
                if (closeBy === 'button') await page.click('.vb-close');
                else await page.keyboard.press('Escape');
                await page.waitForSelector('.vb-overlay', { state: 'detached' });
                assert.equal(await page.evaluate(() => window.dialogResult), null);
                assert.equal(await page.evaluate(() => document.activeElement.id), 'dialog-field');
            }
            assert.equal(await page.inputValue('#dialog-field'), 'A wrod.');
        }, { allowErrors: /Failed to load resource/ }));
}

test('a "verbarium-dialog" button opens the dialog on a page with check as you type alone', () =>
    scenario('dialog_access-kwirl-only', async ({ page, url }) => {
        const site = await startSite();
        try {
            await page.goto(`${site.url}/pages/editors.html?editor=plain&service=` +
                            encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
            await page.evaluate(() => window.ready);
            await page.fill('#body', 'A wrod.');
            await page.waitForFunction(() => !!Verbarium.closeDialog);
            await page.click('#spelling');
            const frame = await (await page.waitForSelector('iframe.vb-frame')).contentFrame();
            await frame.waitForFunction(() => document.getElementById('word').textContent === 'wrod', null, { timeout: 90000 });
            await page.keyboard.press('Escape');
            await page.waitForSelector('.vb-overlay', { state: 'detached' });
        } finally {
            await site.stop();
        }
    }));
